// SPDX-License-Identifier: GPL-3.0-or-later
// What the real programs say when they cannot do what was asked, and that it
// names the fix that works here: a device this user may not open, one named
// by ZERBO_PORT, a path that is no serial device, no display, and the board's
// link taken or in the way.
#include "pty_pair.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uid_t Nobody = 65534;

struct Run {
    int exitCode = -1;
    QString out, err;
};

// Runs the program to its end, with the environment changed as given
// ("NAME=value" sets, "-NAME" unsets).
Run run(const QString& program, const QStringList& arguments, const QStringList& environment = {},
        bool asNobody = false) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& change : environment) {
        if (change.startsWith('-'))
            env.remove(change.mid(1));
        else
            env.insert(change.section('=', 0, 0), change.section('=', 1));
    }
    process.setProcessEnvironment(env);
    if (asNobody)
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                ::_exit(126);
        });
    process.start(program, arguments);
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

const QString Zerbo = QStringLiteral(ZERBO_BINARY);
const QString Board = QStringLiteral(ZERBO_BOARD_BINARY);

// The programs as started over ssh: no window system named or reachable.
const QStringList NoDisplay{"-DISPLAY", "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM"};

// A board started in the background, ended by the test.
struct BoardProcess {
    QProcess process;
    explicit BoardProcess(const QString& link) {
        process.start(Board, {"--headless", "--link", link});
    }
    ~BoardProcess() {
        process.terminate();
        process.waitForFinished(5000);
    }
    QString firstLine() {
        while (!process.canReadLine() && process.waitForReadyRead(10000)) {
        }
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }
};
} // namespace

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    // The fix for 8010 follows the device's group and mode, and uses sudo only
    // where it is installed: PATH holds a sudo or nothing at all.
    void permissionDeniedNamesTheFix_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("withSudo");
        QTest::addColumn<QString>("says");
        QTest::newRow("dialout, sudo")
            << "dialout" << 0660 << true
            << "(owner root, group dialout, mode crw-rw----). Join the dialout group with "
               "`sudo adduser $USER dialout`, then log out and in again.";
        QTest::newRow("dialout, no sudo")
            << "dialout" << 0660 << false
            << "(owner root, group dialout, mode crw-rw----). Join the dialout group with "
               "`su -c \"adduser $USER dialout\"`, then log out and in again.";
        QTest::newRow("another group")
            << "uucp" << 0660 << true
            << "(owner root, group uucp, mode crw-rw----). Join the uucp group with `sudo "
               "adduser $USER uucp`";
        QTest::newRow("root:root 0600")
            << "root" << 0600 << true
            << "(owner root, group root, mode crw-------). Only root can open it: ask your "
               "administrator or use a udev rule.";
        QTest::newRow("group may only write")
            << "dialout" << 0620 << true
            << "(owner root, group dialout, mode crw--w----). Only root can open it";
    }
    void permissionDeniedNamesTheFix() {
        QFETCH(QString, group);
        QFETCH(int, mode);
        QFETCH(bool, withSudo);
        QFETCH(QString, says);
        if (::geteuid() != 0)
            QSKIP("needs root: sets a device's owner and runs the program as nobody");
        const struct group* entry = ::getgrnam(qPrintable(group));
        if (!entry)
            QSKIP("this system has no such group");
        const gid_t gid = entry->gr_gid;
        PtyPair board;
        const QByteArray device = board.slavePath().toLocal8Bit();
        QVERIFY(::chown(device, 0, gid) == 0 && ::chmod(device, mode_t(mode)) == 0);
        QTemporaryDir bin;
        if (withSudo) {
            QFile sudo(bin.filePath("sudo"));
            QVERIFY(sudo.open(QIODevice::WriteOnly));
            sudo.setPermissions(QFileDevice::ExeOwner | QFileDevice::ExeOther |
                                QFileDevice::ReadOther);
        }
        QVERIFY(::chmod(qPrintable(bin.path()), 0755) == 0);
        const Run result = run(Zerbo, {"--loopback-test", "--port", board.slavePath()},
                               {"PATH=" + bin.path()}, true);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains("Run-time error 8010: Serial port " + board.slavePath() +
                                     " (COM1) may not be opened by you: permission denied " + says),
                 qPrintable(result.err));
    }

    // A device from ZERBO_PORT says where its name came from, in the window's
    // report and the cable test's alike; the fix sets the variable right
    // instead of asking for it to be set. From --port nothing is added.
    void deviceNamedByZerboPort_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("fromVariable");
        QTest::addColumn<QString>("says");
        const QString missing = "/nonexistent/zerbo-port";
        QTest::newRow("window, missing")
            << QStringList{"-platform", "offscreen"} << missing << true
            << "8002: Serial port %1 (COM1), named by ZERBO_PORT, was not found. Connect the "
               "board's serial adapter, or set ZERBO_PORT to its device (or unset it, and ZERBO "
               "looks for the port itself).";
        QTest::newRow("cable test, missing")
            << QStringList{"--loopback-test"} << missing << true
            << "8002: Serial port %1 (COM1), named by ZERBO_PORT, was not found.";
        QTest::newRow("cable test, no serial device")
            << QStringList{"--loopback-test"} << "/dev/null" << true
            << "8020: Serial port %1 (COM1), named by ZERBO_PORT, is not a serial device: it is "
               "a character device that is not a terminal. Connect the board's serial adapter "
               "and set ZERBO_PORT to its device";
        QTest::newRow("--port, missing")
            << QStringList{"--loopback-test", "--port", missing} << missing << false
            << "8002: Serial port %1 (COM1) was not found. Connect the board's serial adapter, "
               "or name its device with --port DEVICE or the environment variable ZERBO_PORT.";
    }
    void deviceNamedByZerboPort() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QFETCH(bool, fromVariable);
        QFETCH(QString, says);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZERBO_PORT", fromVariable ? path : QString());
        program.setProcessEnvironment(env);
        const auto end = qScopeGuard([&] {
            program.kill();
            program.waitForFinished();
        });
        program.setReadChannel(QProcess::StandardError);
        program.start(Zerbo, arguments);
        // The window's report waits in its box: read until its line is complete.
        QByteArray errors;
        while (!errors.contains("Run-time error") || !errors.endsWith('\n')) {
            if (!program.waitForReadyRead(10000))
                break;
            errors += program.readAllStandardError();
        }
        const QString said = QString::fromLocal8Bit(errors);
        QVERIFY2(said.contains(says.arg(path)), qPrintable(said));
        QCOMPARE(said.count("Run-time error"), 1);
    }

    // A path that exists but is no serial device says what it is instead.
    void notASerialDevice_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("regular file") << "file"
                                      << "it is a regular file.";
        QTest::newRow("directory") << "directory"
                                   << "it is a directory.";
        QTest::newRow("not a terminal") << "null"
                                        << "it is a character device that is not a "
                                           "terminal.";
    }
    void notASerialDevice() {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QString path = dir.filePath("port");
        if (kind == "file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me\n");
        } else if (kind == "directory") {
            QVERIFY(QDir().mkdir(path));
        } else {
            path = "/dev/null";
        }
        const Run result = run(Zerbo, {"--loopback-test", "--port", path}, {"-ZERBO_PORT"});
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains("Run-time error 8020: Serial port " + path +
                                     " (COM1) is not a serial device: " + says),
                 qPrintable(result.err));
        QVERIFY(!result.err.contains("ioctl"));
        if (kind == "file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("keep me\n")); // opened, never written
        }
    }

    // Over ssh: what needs no window works, the window is refused in one line.
    void withoutADisplay_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says"); // on standard output for 0, else standard error
        const QString refused = "zerbo: no display: run it in a desktop session; zerbo "
                                "--loopback-test and --list-ports need none\n";
        QTest::newRow("zerbo") << Zerbo << QStringList{} << 1 << refused;
        QTest::newRow("zerbo --port")
            << Zerbo << QStringList{"--port", "/dev/ttyS0"} << 1 << refused;
        QTest::newRow("zerbo --bogus")
            << Zerbo << QStringList{"--bogus"} << 1 << "zerbo: Unknown option 'bogus'.\n";
        QTest::newRow("zerbo --version")
            << Zerbo << QStringList{"--version"} << 0 << "zerbo " ZERBO_VERSION "\n";
        QTest::newRow("zerbo --help") << Zerbo << QStringList{"--help"} << 0 << "--list-ports";
        QTest::newRow("board") << Board << QStringList{} << 1
                               << "zerbo-board: no display: run it in a desktop session, or "
                                  "with --headless\n";
        QTest::newRow("board --version")
            << Board << QStringList{"--version"} << 0 << "zerbo-board " ZERBO_VERSION "\n";
        QTest::newRow("board --help") << Board << QStringList{"--help"} << 0 << "--headless";
        QTest::newRow("board -h") << Board << QStringList{"-h"} << 0 << "--link <PATH>";
    }
    void withoutADisplay() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const Run result = run(program, arguments, NoDisplay);
        QCOMPARE(result.exitCode, exitCode);
        const QString& text = exitCode == 0 ? result.out : result.err;
        QVERIFY2(says.endsWith('\n') ? text == says : text.contains(says),
                 qPrintable(result.out + result.err));
    }

    // Without XDG_RUNTIME_DIR the link goes to a path of this user's own under /tmp.
    void boardLinkWithoutRuntimeDirectory() {
        const QString expected = QStringLiteral("/tmp/zerbo-board-%1").arg(::getuid());
        if (QFileInfo(expected).isSymLink() || QFileInfo::exists(expected))
            QSKIP("a board of this user already runs on the default link");
        QProcess board;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        board.setProcessEnvironment(env);
        board.start(Board, {"--headless"});
        QVERIFY(board.waitForReadyRead(10000));
        QCOMPARE(QString::fromLocal8Bit(board.readLine()).trimmed(), "port " + expected);
        QVERIFY(QFileInfo(expected).isSymLink());
        board.terminate();
        QVERIFY(board.waitForFinished(5000));
        QVERIFY(!QFileInfo(expected).isSymLink()); // its own link goes with it
    }

    // What stands at the link's path already: a running board's link, or the
    // user's own file or link, is refused and left as it was; only the link
    // of a board that has ended is replaced.
    void boardLinkInTheWay_data() {
        QTest::addColumn<QString>("there");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("a running board's link")
            << "board" << 1 << "is already the port of a board that still runs";
        QTest::newRow("a plain file") << "file" << 1 << "exists and is not a board's port";
        QTest::newRow("a dangling link of the user's")
            << "user link" << 1 << "which is not a board's port";
        QTest::newRow("the link of a board that ended")
            << "stale link" << 0 << "replacing " /* then the board runs */;
    }
    void boardLinkInTheWay() {
        QFETCH(QString, there);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString link = dir.filePath("board");
        std::unique_ptr<BoardProcess> first;
        QString before;
        if (there == "board") {
            first = std::make_unique<BoardProcess>(link);
            QCOMPARE(first->firstLine(), "port " + link);
            before = QFile::symLinkTarget(link);
        } else if (there == "file") {
            QFile file(link);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine\n");
        } else {
            before = there == "user link" ? dir.filePath("gone") : "/dev/pts/99999";
            QVERIFY(QFile::link(before, link));
        }
        QProcess second;
        second.start(Board, {"--headless", "--link", link});
        const auto end = qScopeGuard([&] {
            second.terminate();
            second.waitForFinished(5000);
        });
        if (exitCode == 0) {
            QVERIFY(second.waitForReadyRead(10000));
            QCOMPARE(QString::fromLocal8Bit(second.readLine()).trimmed(), "port " + link);
            QVERIFY(QFile::symLinkTarget(link).startsWith("/dev/pts/"));
            QVERIFY(QFile::symLinkTarget(link) != before);
            QString said;
            QTRY_VERIFY(
                (said += QString::fromLocal8Bit(second.readAllStandardError())).contains(says));
            return;
        }
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), exitCode);
        const QString said = QString::fromLocal8Bit(second.readAllStandardError());
        QVERIFY2(said.startsWith("zerbo-board: " + link) && said.contains(says) &&
                     said.count('\n') == 1,
                 qPrintable(said));
        QVERIFY(second.readAllStandardOutput().isEmpty()); // no "port" line for a script
        if (there == "file") {
            QFile file(link);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("mine\n"));
        } else {
            QCOMPARE(QFile::symLinkTarget(link), before);
        }
        if (first) { // the first board still has its link, and takes it away at its end
            QVERIFY(first->process.state() == QProcess::Running);
            first.reset();
            QVERIFY(!QFileInfo(link).isSymLink());
        }
    }
};

QTEST_GUILESS_MAIN(MessagesTest)
#include "tst_messages.moc"
