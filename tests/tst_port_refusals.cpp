// SPDX-License-Identifier: GPL-3.0-or-later
// A port the real program cannot take, and what it says then, with the fix
// that works here. One another program holds is never taken, as root and as
// an ordinary user: a UUCP lock file with a live PID (of any program), an
// flock on the device, an exclusive open, and a first copy of the program
// each get error 8005 naming the holder; a lock file whose PID has ended is
// stale and taken over. A device this user may not open, one missing, and a
// path that is no serial device, named by --port or by ZERBO_PORT, each say
// so in the window's report and the cable test's alike.
#include "board_process.h"
#include "cannot_run.h"
#include "process_group.h"
#include "process_probe.h"
#include "pty_pair.h"
#include "raw_pty.h"
#include "run_program.h"
#include "standard_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QString Zerbo = QStringLiteral(ZERBO_BINARY);

// Where the program reports what it could not open: in the window's box, which
// waits for the user, or from the cable test, which ends with 2.
enum class Via { Window, CableTest };

// The exclusive holder: this executable, run with --hold-exclusive DEVICE.
int holdExclusive(const char* device) {
    const int fd = ::open(device, O_RDWR | O_NOCTTY);
    if (fd < 0 || ::ioctl(fd, TIOCEXCL) != 0)
        return 2;
    std::puts("held");
    std::fflush(stdout);
    ::pause();
    return 0;
}

void runAs(QProcess& process, bool nobody) {
    if (nobody)
        startsAsNobody(process);
}

// The program as the process will run it: a copy nobody can reach.
QString programFor(const QString& program, bool nobody) {
    return nobody ? reachableByNobody(program) : program;
}

QString lockFileOf(const QString& device) {
    return QStringLiteral("/run/lock/LCK..") + device.mid(5).replace('/', '_');
}

void writeLockFile(const QString& device, const QByteArray& contents, bool nobody) {
    QFile file(lockFileOf(device));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
    file.close();
    if (nobody)
        QVERIFY(::chown(QFile::encodeName(file.fileName()).constData(), NobodyId, NobodyId) == 0);
}

// Whether the device is marked open exclusively (seen as root, who may open it anyway).
bool markedExclusive(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 0;
    const bool marked = fd >= 0 && ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    if (fd >= 0)
        ::close(fd);
    return marked;
}

// Whether the device drops DTR at its last close (HUPCL), seen as root.
bool hangsUpOnClose(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios line{};
    const bool set = fd >= 0 && ::tcgetattr(fd, &line) == 0 && (line.c_cflag & HUPCL) != 0;
    if (fd >= 0)
        ::close(fd);
    return set;
}

qint64 deadPid() {
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ended.waitForFinished();
    return ended.processId() ? ended.processId() : 0x3ffffff0;
}
} // namespace

Q_DECLARE_METATYPE(Via)

class PortRefusalTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (QTest::currentDataTag() && QByteArray(QTest::currentDataTag()).endsWith("as nobody") &&
            ::geteuid() != 0)
            ZERBO_CANNOT_RUN(
                "the cases as an ordinary user need root to start the processes as nobody");
    }

    void heldPortIsRefused_data() {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("nobody");
        for (const bool nobody : {false, true})
            for (const char* holder :
                 {"lock file %10d", "lock file %d", "flock", "exclusive open", "zerbo via symlink"})
                QTest::addRow("%s, %s", holder, nobody ? "as nobody" : "as this user")
                    << holder << nobody;
        QTest::newRow("zerbo, as this user") << "zerbo" << false;
    }
    void heldPortIsRefused() {
        QFETCH(QString, holder);
        QFETCH(bool, nobody);
        PtyPair board;
        const QString device = board.slavePath();
        QFile::remove(lockFileOf(device)); // left by a killed program on an earlier pty
        if (nobody)                        // a fresh pseudo-terminal is root's
            QVERIFY(::chown(QFile::encodeName(device).constData(), NobodyId, NobodyId) == 0);
        QTemporaryDir dir; // readable by all, so that nobody reaches the link too
        QFile::setPermissions(dir.path(),
                              QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther);
        const QString link = dir.filePath(QStringLiteral("com1"));
        QVERIFY(QFile::link(device, link));
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFileOf(device)); });
        QProcess first, second;
        const ProcessGroup end{&first, &second};
        runAs(first, nobody);
        runAs(second, nobody);
        QString holderName;
        if (holder.startsWith("lock file")) {
            first.start(QStringLiteral("sleep"), {QStringLiteral("60")});
            QVERIFY(first.waitForStarted());
            const QByteArray pid = QByteArray::number(first.processId());
            writeLockFile(device, (holder.endsWith("%10d") ? pid.rightJustified(10) : pid) + "\n",
                          false);
            holderName = "sleep";
        } else if (holder == "flock") {
            first.start(QStringLiteral("flock"),
                        {device, QStringLiteral("sh"), QStringLiteral("-c"),
                         QStringLiteral("echo held; exec sleep 60")});
            QVERIFY2(first.waitForReadyRead(5000), "flock(1) of util-linux did not start");
            holderName = "flock";
        } else if (holder == "exclusive open") {
            first.start(programFor(QCoreApplication::applicationFilePath(), nobody),
                        {QStringLiteral("--hold-exclusive"), device});
            QVERIFY(first.waitForReadyRead(5000));
            holderName = QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15);
        } else {
            first.start(programFor(Zerbo, nobody), {"--port", device});
            QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(first.processId(), device), 10000);
            holderName = "zerbo";
        }
        const QString named = holder == "zerbo" ? device : link;
        second.start(programFor(Zerbo, nobody), {"--port", named});
        const QString error = reportedError(second);
        const QString says = QStringLiteral("Run-time error 8005: Serial port %1 (COM1) is in use "
                                            "by another program: ")
                                 .arg(named);
        QVERIFY2(error.contains(says), qPrintable(error));
        const QString pid = QStringLiteral("PID %1 (%2)").arg(first.processId()).arg(holderName);
        QVERIFY2(error.contains(pid), qPrintable(error + " lacks " + pid));
        QVERIFY(!holdsDevice(second.processId(), device));
        QVERIFY(first.state() == QProcess::Running);
        if (holder.startsWith("lock file")) // the other program's lock is left alone
            QVERIFY(QFile::exists(lockFileOf(device)));
    }

    // A program killed while it held the port exclusively leaves the mark on
    // the board's pseudo-terminal; the next start still gets the port, with
    // either board, whether the board may clear the mark (root) or must move
    // its link to a new pseudo-terminal (anyone else). A board in its
    // bootloader (an Uno) keeps hanging up on close there, as its port did
    // (the holder, unlike the program, leaves HUPCL as it found it).
    void restartAfterAKilledProgramGetsThePort_data() {
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("nobody");
        const std::pair<const char*, int> deaths[] = {
            {"KILL", SIGKILL}, {"TERM", SIGTERM}, {"HUP", SIGHUP},  {"INT", SIGINT},
            {"QUIT", SIGQUIT}, {"SEGV", SIGSEGV}, {"ABRT", SIGABRT}};
        for (const auto& [name, number] : deaths)
            QTest::addRow("firmware board, %s", name) << "firmware" << number << false;
        QTest::addRow("scripted board, KILL") << "scripted" << SIGKILL << false;
        for (const char* board : {"firmware", "scripted", "bootloader"})
            QTest::addRow("%s board, KILL, as nobody", board) << board << SIGKILL << true;
    }
    void restartAfterAKilledProgramGetsThePort() {
        QFETCH(QString, board);
        QFETCH(int, signal);
        QFETCH(bool, nobody);
        QStringList options;
        if (board == "firmware") {
            if (QStringLiteral(ZERBO_FIRMWARE_HEX).isEmpty())
                ZERBO_CANNOT_RUN("this build has no firmware image (gcc-avr, avr-libc)");
            const QString image = QStringLiteral(ZERBO_FIRMWARE_HEX);
            options = firmwareOptions(nobody ? reachableByNobody(image) : image);
        } else if (board == "bootloader") {
            if (QStringLiteral(ATMEGABOOT_HEX).isEmpty())
                ZERBO_CANNOT_RUN("no ATmegaBOOT_168_atmega328.hex: apt-get install "
                                 "arduino-core-avr (make test installs it)");
            options = {"--mcu", "atmega328p", "--bootloader", ATMEGABOOT_HEX};
        }
        BoardProcess line(options, nobody);
        QVERIFY(line.started());
        const QString device = line.devicePath();
        QFile::remove(lockFileOf(device)); // left by a killed program on an earlier pty
        // What the killed programs left: the next test's pseudo-terminal may take its name.
        const auto removeLocks = qScopeGuard([&] {
            for (const QString& used : {device, line.devicePath()})
                QFile::remove(lockFileOf(used));
        });
        QProcess first, second;
        const ProcessGroup end{&first, &second};
        for (QProcess* program : {&first, &second}) {
            runAs(*program, nobody);
            program->setProcessChannelMode(QProcess::MergedChannels);
        }
        const QString zerbo = programFor(Zerbo, nobody);
        if (board == "bootloader") {
            first.start(programFor(QCoreApplication::applicationFilePath(), nobody),
                        {QStringLiteral("--hold-exclusive"), line.link()});
            QVERIFY(first.waitForReadyRead(5000));
            QVERIFY(hangsUpOnClose(line.devicePath()));
        } else {
            first.start(zerbo, {"--port", line.link()});
        }
        QTRY_VERIFY2_WITH_TIMEOUT(holdsDevice(first.processId(), line.devicePath()),
                                  qPrintable(QString::fromLocal8Bit(first.readAll())), 10000);
        ::kill(pid_t(first.processId()), signal);
        QVERIFY(first.waitForFinished(5000));
        // The board itself clears the mark, or moves its link to a new device.
        QTRY_VERIFY(!markedExclusive(line.devicePath()));
        if (board == "bootloader")
            QVERIFY(hangsUpOnClose(line.devicePath()));
        // A new device's number may carry a lock that another test's killed
        // program left; this one's own lock stays on the old device.
        if (line.devicePath() != device)
            QFile::remove(lockFileOf(line.devicePath()));
        second.start(zerbo, {"--port", line.link()});
        QTRY_VERIFY2_WITH_TIMEOUT(holdsDevice(second.processId(), line.devicePath()),
                                  qPrintable(QString::fromLocal8Bit(second.readAll())), 10000);
    }

    // A lock file that stops the program is always named, with the fix:
    // one in /tmp (where Qt's serial port puts it when /run/lock is not
    // writable), and one this user may not even read.
    void lockFileRefusalNamesTheFile_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("nobody");
        QTest::addColumn<QString>("says");
        QTest::newRow("live lock in /tmp, as this user")
            << "/tmp" << 0644 << false << "PID %2 (sleep) holds its lock file %1";
        QTest::newRow("root's lock, mode 0600, as nobody")
            << "/run/lock" << 0600 << true
            << "its lock file %1 (owner root, group root, mode -rw-------) may not be read by "
               "you, so whether its program still runs cannot be told; if no program uses the "
               "port, remove it with ";
    }
    void lockFileRefusalNamesTheFile() {
        QFETCH(QString, folder);
        QFETCH(int, mode);
        QFETCH(bool, nobody);
        QFETCH(QString, says);
        PtyPair board;
        const QString device = board.slavePath();
        if (nobody)
            QVERIFY(::chown(QFile::encodeName(device).constData(), NobodyId, NobodyId) == 0);
        const QString lock = folder + "/LCK.." + device.mid(5).replace('/', '_');
        const auto removeLock = qScopeGuard([&] { QFile::remove(lock); });
        QProcess holder, zerbo;
        const ProcessGroup end{&holder, &zerbo};
        holder.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(holder.waitForStarted());
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::number(holder.processId()).rightJustified(10) + "\n");
        file.close();
        QVERIFY(::chmod(QFile::encodeName(lock).constData(), mode_t(mode)) == 0);
        runAs(zerbo, nobody);
        zerbo.start(programFor(Zerbo, nobody), {"--port", device});
        const QString error = reportedError(zerbo);
        QVERIFY2(error.contains("Run-time error 8005: ") &&
                     error.contains(QString(says)
                                        .replace("%1", lock)
                                        .replace("%2", QString::number(holder.processId()))),
                 qPrintable(error));
        QVERIFY(!holdsDevice(zerbo.processId(), device));
    }

    // A pseudo-terminal marked exclusive by a program that has ended (no
    // process has it open): root takes it, clears the mark and says so on
    // the debug log; with a live holder the mark stands (above).
    void staleExclusiveMarkIsTakenOver() {
        RawPty pty;
        QVERIFY(openRawPty(pty));
        QVERIFY(::ioctl(pty.slave, TIOCEXCL) == 0);
        ::close(pty.slave);
        const auto end = qScopeGuard([&] { ::close(pty.master); });
        QProcess zerbo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_LOGGING_RULES", "zerbo.serial.debug=true");
        zerbo.setProcessEnvironment(env);
        zerbo.setProcessChannelMode(QProcess::MergedChannels);
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFileOf(pty.slavePath)); });
        const ProcessGroup stop{&zerbo};
        zerbo.start(Zerbo, {"--port", pty.slavePath});
        QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(zerbo.processId(), pty.slavePath), 10000);
        zerbo.waitForReadyRead(1000);
        const QString said = QString::fromLocal8Bit(zerbo.readAll());
        QVERIFY2(said.contains(pty.slavePath +
                               " is marked open exclusively, but no process has "
                               "it open: the mark of a program that ended, cleared"),
                 qPrintable(said));
    }

    void staleLockIsTakenOver_data() {
        QTest::addColumn<bool>("nobody");
        QTest::newRow("as this user") << false;
        QTest::newRow("as nobody") << true;
    }
    void staleLockIsTakenOver() {
        QFETCH(bool, nobody);
        PtyPair board;
        const QString device = board.slavePath();
        QFile::remove(lockFileOf(device)); // left by a killed program on an earlier pty
        if (nobody)
            QVERIFY(::chown(QFile::encodeName(device).constData(), NobodyId, NobodyId) == 0);
        const qint64 dead = deadPid();
        QVERIFY(::kill(pid_t(dead), 0) != 0);
        writeLockFile(device, QByteArray::number(dead).rightJustified(10) + "\n", nobody);
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFileOf(device)); });
        QProcess zerbo;
        const ProcessGroup end{&zerbo};
        runAs(zerbo, nobody);
        zerbo.start(programFor(Zerbo, nobody), {"--port", device});
        QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(zerbo.processId(), device), 10000);
        QFile lock(lockFileOf(device));
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QCOMPARE(lock.readLine().trimmed().toLongLong(), zerbo.processId());
    }

    // A device this user may not open: 8010's fix follows the device's group
    // and mode, and uses sudo only where it is installed (PATH holds a sudo
    // or nothing at all).
    void permissionDeniedNamesTheFix_data() {
        QTest::addColumn<Via>("via");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("withSudo");
        QTest::addColumn<QString>("says");
        const auto row = [](const char* name, Via via, const char* group, int mode, bool withSudo,
                            const QString& says) {
            QTest::newRow(name) << via << QString(group) << mode << withSudo << says;
        };
        row("dialout, sudo, as nobody", Via::CableTest, "dialout", 0660, true,
            "(owner root, group dialout, mode crw-rw----). Join the dialout group with "
            "`sudo adduser nobody dialout`, then log out and in again.");
        row("dialout, no sudo, as nobody", Via::CableTest, "dialout", 0660, false,
            "(owner root, group dialout, mode crw-rw----). Join the dialout group with "
            "`su - -c \"adduser nobody dialout\"`, then log out and in again.");
        row("another group, as nobody", Via::CableTest, "uucp", 0660, true,
            "(owner root, group uucp, mode crw-rw----). Join the uucp group with `sudo adduser "
            "nobody uucp`");
        row("root:root 0600, as nobody", Via::CableTest, "root", 0600, true,
            "(owner root, group root, mode crw-------). Only root can open it: ask your "
            "administrator or use a udev rule.");
        row("group may only write, as nobody", Via::CableTest, "dialout", 0620, true,
            "(owner root, group dialout, mode crw--w----). Only root can open it");
        row("a fresh pseudo-terminal in the window, as nobody", Via::Window, "root", 0620, true,
            "(owner root, group root, mode crw--w----). Only root can open it");
    }
    void permissionDeniedNamesTheFix() {
        QFETCH(Via, via);
        QFETCH(QString, group);
        QFETCH(int, mode);
        QFETCH(bool, withSudo);
        QFETCH(QString, says);
        const struct group* entry = ::getgrnam(qPrintable(group));
        if (!entry)
            ZERBO_CANNOT_RUN("this system has no such group");
        PtyPair board;
        const QString device = board.slavePath();
        QVERIFY(::chown(qPrintable(device), 0, entry->gr_gid) == 0 &&
                ::chmod(qPrintable(device), mode_t(mode)) == 0);
        QTemporaryDir bin;
        if (withSudo) {
            QFile sudo(bin.filePath("sudo"));
            QVERIFY(sudo.open(QIODevice::WriteOnly));
            sudo.setPermissions(QFileDevice::ExeOwner | QFileDevice::ExeOther |
                                QFileDevice::ReadOther);
        }
        QVERIFY(::chmod(qPrintable(bin.path()), 0755) == 0);
        QProcess zerbo;
        const ProcessGroup end{&zerbo};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (via == Via::CableTest)
            env.insert("PATH", bin.path());
        zerbo.setProcessEnvironment(env);
        startsAsNobody(zerbo);
        zerbo.start(reachableByNobody(Zerbo),
                    (via == Via::CableTest ? QStringList{"--loopback-test"} : QStringList{}) +
                        QStringList{"--port", device});
        const QString error = reportedError(zerbo);
        QVERIFY2(error.contains("Run-time error 8010: Serial port " + device +
                                " (COM1) may not be opened by you: permission denied " + says),
                 qPrintable(error));
        if (via == Via::Window)
            QVERIFY(zerbo.state() == QProcess::Running); // the box waits for the user
        else
            QVERIFY(zerbo.waitForFinished(10000) && zerbo.exitCode() == 2);
    }

    // A device that is missing or no serial device says so, and what it is
    // instead. Named by ZERBO_PORT, it says where its name came from, and the
    // fix sets the variable right instead of asking for it to be set; from
    // --port nothing is added. A regular file is opened, never written.
    void portThatIsNoSerialLine_data() {
        QTest::addColumn<Via>("via");
        QTest::addColumn<bool>("fromVariable");
        QTest::addColumn<QString>("path"); // "file" and "directory" are made for the row
        QTest::addColumn<QString>("says");
        const auto row = [](const char* name, Via via, bool fromVariable, const QString& path,
                            const QString& says) {
            QTest::newRow(name) << via << fromVariable << path << says;
        };
        const QString missing = "/nonexistent/zerbo-port";
        row("window, missing", Via::Window, true, missing,
            "8002: Serial port %1 (COM1), named by ZERBO_PORT, was not found. Connect the "
            "board's serial adapter, or set ZERBO_PORT to its device (or unset it, and ZERBO "
            "looks for the port itself).");
        row("cable test, missing", Via::CableTest, true, missing,
            "8002: Serial port %1 (COM1), named by ZERBO_PORT, was not found.");
        row("cable test, no serial device", Via::CableTest, true, "/dev/null",
            "8020: Serial port %1 (COM1), named by ZERBO_PORT, is not a serial device: it is a "
            "character device that is not a terminal. Connect the board's serial adapter and set "
            "ZERBO_PORT to its device");
        row("--port, missing", Via::CableTest, false, missing,
            "8002: Serial port %1 (COM1) was not found. Connect the board's serial adapter, or "
            "name its device with --port DEVICE or the environment variable ZERBO_PORT.");
        row("window, --port, missing", Via::Window, false, "/dev/zerbo-no-board",
            "8002: Serial port %1 (COM1) was not found. Connect the board's serial adapter");
        const QString no = "8020: Serial port %1 (COM1) is not a serial device: ";
        row("--port, regular file", Via::CableTest, false, "file", no + "it is a regular file.");
        row("--port, directory", Via::CableTest, false, "directory", no + "it is a directory.");
        row("--port, not a terminal", Via::CableTest, false, "/dev/null",
            no + "it is a character device that is not a terminal.");
    }
    void portThatIsNoSerialLine() {
        QFETCH(Via, via);
        QFETCH(bool, fromVariable);
        QFETCH(QString, path);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const bool kept = path == "file";
        if (kept) {
            path = dir.filePath("port");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep me\n") == 8);
        } else if (path == "directory") {
            path = dir.filePath("port");
            QVERIFY(QDir().mkdir(path));
        }
        QProcess zerbo;
        const ProcessGroup end{&zerbo};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (fromVariable)
            env.insert("ZERBO_PORT", path);
        else
            env.remove("ZERBO_PORT");
        zerbo.setProcessEnvironment(env);
        zerbo.start(Zerbo,
                    (via == Via::CableTest ? QStringList{"--loopback-test"} : QStringList{}) +
                        (fromVariable ? QStringList{} : QStringList{"--port", path}));
        QString said = reportedError(zerbo);
        if (via == Via::Window) {
            QVERIFY(zerbo.state() == QProcess::Running); // the box waits for the user
        } else {
            QVERIFY(zerbo.waitForFinished(10000));
            QCOMPARE(zerbo.exitCode(), 2);
            said += QString::fromLocal8Bit(zerbo.readAllStandardError());
        }
        QVERIFY2(said.contains("Run-time error " + says.arg(path)), qPrintable(said));
        QCOMPARE(said.count("Run-time error"), 1);
        QVERIFY2(!said.contains("ioctl"), qPrintable(said));
        if (kept) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("keep me\n"));
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--hold-exclusive")
        return holdExclusive(argv[2]);
    QCoreApplication app(argc, argv);
    PortRefusalTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_port_refusals.moc"
