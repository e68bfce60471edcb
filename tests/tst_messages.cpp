// SPDX-License-Identifier: GPL-3.0-or-later
// What the real programs say when they cannot do what was asked, and that it
// names the fix that works here: a device this user may not open, one named
// by ZERBO_PORT, a path that is no serial device, one missing or held.
#include "cannot_run.h"
#include "process_group.h"
#include "process_probe.h"
#include "pty_pair.h"

#include "run_program.h"
#include "standard_error.h"

#include <QDeadlineTimer>
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
const QString Zerbo = QStringLiteral(ZERBO_BINARY);
const QString Board = QStringLiteral(ZERBO_BOARD_BINARY);
} // namespace

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    // A port that is missing, held by a first copy, or not the user's to
    // open: the real program says which, and what to do.
    void realProgramRefusesThePort_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << "missing"
                                 << "Run-time error 8002: Serial port %1 (COM1) was not found. "
                                    "Connect the board's serial adapter";
        QTest::newRow("held by a first copy")
            << "held"
            << "Run-time error 8005: Serial port %1 (COM1) is in use by another program";
        QTest::newRow("no permission")
            << "forbidden"
            << "Run-time error 8010: Serial port %1 (COM1) may not be opened by you: "
               "permission denied (owner root, group root, mode crw--w----). Only root can "
               "open it";
    }
    void realProgramRefusesThePort() {
        QFETCH(QString, situation);
        QFETCH(QString, says);
        if (situation == "forbidden" && ::geteuid() != 0)
            ZERBO_CANNOT_RUN("needs root to start the program as an ordinary user");
        PtyPair board;
        const QString device =
            situation == "missing" ? QStringLiteral("/dev/zerbo-no-board") : board.slavePath();
        QProcess first, second;
        const ProcessGroup end{&first, &second};
        if (situation == "forbidden") { // as a fresh pseudo-terminal: root's, mode 0620
            QVERIFY(::chown(qPrintable(device), 0, 0) == 0 &&
                    ::chmod(qPrintable(device), 0620) == 0);
            startsAsNobody(second);
        } else if (situation == "held") {
            first.start(QStringLiteral(ZERBO_BINARY), {"--port", device});
            QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(first.processId(), device), 10000);
        }
        second.start(situation == "forbidden" ? reachableByNobody(QStringLiteral(ZERBO_BINARY))
                                              : QStringLiteral(ZERBO_BINARY),
                     {"--port", device});
        const QString error = reportedError(second);
        QVERIFY2(error.contains(says.arg(device)), qPrintable(error));
        QVERIFY(second.state() == QProcess::Running); // the box waits for the user
    }
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
               "`sudo adduser nobody dialout`, then log out and in again.";
        QTest::newRow("dialout, no sudo")
            << "dialout" << 0660 << false
            << "(owner root, group dialout, mode crw-rw----). Join the dialout group with "
               "`su - -c \"adduser nobody dialout\"`, then log out and in again.";
        QTest::newRow("another group")
            << "uucp" << 0660 << true
            << "(owner root, group uucp, mode crw-rw----). Join the uucp group with `sudo "
               "adduser nobody uucp`";
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
            ZERBO_CANNOT_RUN("needs root: sets a device's owner and runs the program as nobody");
        const struct group* entry = ::getgrnam(qPrintable(group));
        if (!entry)
            ZERBO_CANNOT_RUN("this system has no such group");
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
        const Run result = runProgram(Zerbo, {"--loopback-test", "--port", board.slavePath()},
                                      {{"PATH=" + bin.path()}, true});
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
        const ProcessGroup end{&program};
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
        const Run result =
            runProgram(Zerbo, {"--loopback-test", "--port", path}, {{"-ZERBO_PORT"}});
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
};

QTEST_GUILESS_MAIN(MessagesTest)
#include "tst_messages.moc"
