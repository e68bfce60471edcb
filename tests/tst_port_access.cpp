// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a port opens, and what the real program says when it does not, with the fix
// that works here: the port list, ports held, left stale or not to be opened, and restarts.
#include "board_process.h"
#include "cannot_run.h"
#include "process_group.h"
#include "process_probe.h"
#include "pty_pair.h"
#include "raw_pty.h"
#include "run_program.h"
#include "serial/comm_errors.h"
#include "serial/port_choice.h"
#include "serial/port_hints.h"
#include "serial/port_status.h"
#include "standard_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QString Zerbo = QStringLiteral(ZERBO_BINARY);

// Where the program reports what it could not open: the window's box waits, the cable test ends.
enum class Via { Window, CableTest };
// What holds the running board's port while the list is made.
enum class Situation { Free, Exclusive, LockFile, Killed };
// What holds the port the program is refused.
enum class Holder { PaddedLockFile, LockFile, Flock, ExclusiveOpen, Zerbo };
// What a program that ended left on the port.
enum class Stale { LockFile, ExclusiveMark };
// The board a killed program held: the firmware, the scripted one, an Uno's bootloader.
enum class Board { Firmware, Scripted, Bootloader };
// What the port is made as for the row, if anything: a pseudo-terminal nobody may not open.
enum class Made { Nothing, File, Folder, Pty };
// What the machine holds, for its hints: bits of an int.
enum Has { ModemManager = 1, UnoIds = 2, CH340 = 4, Brltty = 8, BrlttyRule = 16 };

// The file, its folders too, holding the text as one line.
bool write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text + '\n') == text.size() + 1;
}

// This executable's name as the kernel keeps it, when it holds a port.
QString selfName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15);
}

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

// Starts a program as this user, or as nobody (this build's from a copy nobody can reach).
void start(QProcess& process, const QString& program, const QStringList& arguments, bool nobody) {
    if (nobody)
        startsAsNobody(process);
    process.start(nobody && QFileInfo(program).isAbsolute() ? reachableByNobody(program) : program,
                  arguments);
}

QString lockFileOf(const QString& device, const QString& folder = "/run/lock") {
    return folder + "/LCK.." + device.mid(5).replace('/', '_');
}

// Whether the device is marked exclusive, or drops DTR at its last close (HUPCL); as root.
enum class Mark { Exclusive, HangUpOnClose };
bool marked(const QString& device, Mark mark) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 0;
    termios line{};
    const bool set = mark == Mark::Exclusive
                         ? ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0
                         : ::tcgetattr(fd, &line) == 0 && (line.c_cflag & HUPCL) != 0;
    ::close(fd); // a failed open's -1 fails these calls harmlessly
    return set;
}

} // namespace

Q_DECLARE_METATYPE(Via)
Q_DECLARE_METATYPE(PortDescription)
Q_DECLARE_METATYPE(Situation)
Q_DECLARE_METATYPE(Holder)
Q_DECLARE_METATYPE(Stale)
Q_DECLARE_METATYPE(Board)
Q_DECLARE_METATYPE(Made)

class PortAccessTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (QTest::currentDataTag() && QByteArray(QTest::currentDataTag()).endsWith("as nobody") &&
            ::geteuid() != 0)
            ZERBO_CANNOT_RUN(
                "the cases as an ordinary user need root to start the processes as nobody");
    }

    // A real line, free and then held by another process, and each open error's name.
    void whetherItOpensNow() {
        PtyPair line;
        QCOMPARE(portStatus(line.slavePath()), "free");
        QProcess holder;
        const ProcessGroup end{&holder};
        holder.setStandardInputFile(line.slavePath());
        holder.start("sleep", {"30"});
        QVERIFY(holder.waitForStarted());
        QTRY_COMPARE(portStatus(line.slavePath()),
                     QStringLiteral("busy: held by PID %1 (sleep)").arg(holder.processId()));
        QCOMPARE(openStatus(EBUSY), "busy");
        QCOMPARE(openStatus(EACCES), "no permission");
        QCOMPARE(openStatus(ENODEV), "no UART");
        QCOMPARE(openStatus(ENOENT), "No such file or directory");
    }

    void noPermission() {
        if (::geteuid() != 0)
            ZERBO_CANNOT_RUN("needs root: sets a device's owner and looks as nobody");
        PtyPair line;
        QVERIFY(::chown(qPrintable(line.slavePath()), 0, 0) == 0 &&
                ::chmod(qPrintable(line.slavePath()), 0600) == 0);
        const Run asNobody = runProgram(QCoreApplication::applicationFilePath(),
                                        {"--status", line.slavePath()}, {{}, true});
        QCOMPARE(asNobody.out, "no permission");
    }

    // An FTDI adapter's sysfs tree: the tty's device is the USB interface, the ids above it.
    void usbIdsFromSysfs_data() {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<PortDescription>("known"); // what the port list said
        QTest::addColumn<QString>("described");
        const auto row = [](const char* name, bool usb, PortDescription known,
                            const QString& described) {
            known.device = "/dev/ttyUSB0";
            QTest::newRow(name) << usb << known << "/dev/ttyUSB0" + described;
        };
        row("nothing known", true, {},
            " (FT232R USB UART, maker FTDI, serial number A50285BI, USB id 0403:6001: an FTDI "
            "chip, as on older Arduino Nanos and many adapters)");
        row("what is known stays", true, {{}, "Board", {}, {}, 0x1234, 0x5678},
            " (Board, maker FTDI, serial number A50285BI, USB id 1234:5678)");
        // The Uno's ATmega16U2 (both product ids) and a Nano's CH340, as udev tells them.
        row("Uno", true, {{}, "Uno", "Arduino", "85", 0x2341, 0x0043},
            " (Uno, maker Arduino, serial number 85, USB id 2341:0043: an Arduino Uno)");
        row("first Uno", true, {{}, "Uno", "Arduino", "85", 0x2341, 0x0001},
            " (Uno, maker Arduino, serial number 85, USB id 2341:0001: an Arduino Uno)");
        row("CH340", true, {{}, "USB Serial", "1a86", "1", 0x1a86, 0x7523},
            " (USB Serial, maker 1a86, serial number 1, USB id 1a86:7523: a CH340 chip, as on "
            "most Arduino Nanos)");
        row("CH340's other product", true, {{}, "USB Serial", "1a86", "1", 0x1a86, 0x7522},
            " (USB Serial, maker 1a86, serial number 1, USB id 1a86:7522)");
        row("a built-in port", false, {}, "");
    }
    void usbIdsFromSysfs() {
        QFETCH(bool, usb);
        QFETCH(PortDescription, known);
        QFETCH(QString, described);
        QTemporaryDir sys;
        const QString usbDevice = sys.filePath("devices/pci0000:00/usb1/1-1");
        const QString tty =
            usb ? usbDevice + "/1-1:1.0/ttyUSB0" : sys.filePath("devices/serial8250/tty/ttyUSB0");
        QDir().mkpath(tty);
        if (usb) {
            write(usbDevice + "/idVendor", "0403");
            write(usbDevice + "/idProduct", "6001");
            write(usbDevice + "/manufacturer", "FTDI");
            write(usbDevice + "/product", "FT232R USB UART");
            write(usbDevice + "/serial", "A50285BI");
        }
        QDir().mkpath(sys.filePath("class/tty/ttyUSB0"));
        QVERIFY(QFile::link(tty, sys.filePath("class/tty/ttyUSB0/device")));
        fillFromSysfs(known, sys.path());
        QCOMPARE(describePort(known), described);
    }

    // What a desktop's services do to a board, told with 8005 or 8002 from a made-up tree
    // holding the machine's Has bits; says: the hint's parts in order, none: no hint.
    void hintsFromTheMachine_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("machine");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("says");
        const auto row = [](const char* name, const QString& device, int machine, int error,
                            const QStringList& says) {
            QTest::newRow(name) << device << machine << error << says;
        };
        const QString wait = "ModemManager runs here: it probes each new ttyACM device for some "
                             "seconds after it is plugged in, and holds it meanwhile. Wait a few "
                             "seconds, then start again; to keep it off the board for good, put "
                             "the line ";
        const QString rule = " into /etc/udev/rules.d/99-zerbo-board.rules as root, run ";
        row("ModemManager holds the Uno", "/dev/ttyACM0", ModemManager | UnoIds, 8005,
            {wait +
                 "ATTRS{idVendor}==\"2341\", ATTRS{idProduct}==\"0043\", "
                 "ENV{ID_MM_DEVICE_IGNORE}=\"1\"" +
                 rule,
             "udevadm control --reload", " and plug the board in again."});
        row("ModemManager, ids unknown", "/dev/ttyACM0", ModemManager, 8005,
            {wait + "KERNEL==\"ttyACM*\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"" + rule});
        row("ModemManager, but a ttyUSB port", "/dev/ttyUSB0", ModemManager, 8005, {});
        row("a ttyACM port, no ModemManager", "/dev/ttyACM0", UnoIds, 8005, {});
        const QString taken = "A CH340 USB serial chip (USB id 1a86:7523, as on most Arduino "
                              "Nanos) is plugged in but has no /dev/ttyUSB device: brltty, the "
                              "braille display driver installed here, takes that chip for a "
                              "braille display. Remove it with ";
        row("brltty took the CH340", "", CH340 | Brltty | BrlttyRule, 8002,
            {taken, "apt remove brltty",
             ", or keep it and turn off its udev rule /usr/lib/udev/rules.d/85-brltty.rules with ",
             "ln -s /dev/null /etc/udev/rules.d/85-brltty.rules",
             "; then unplug the board and plug it in again."});
        row("brltty without a udev rule took the CH340", "", CH340 | Brltty, 8002,
            {taken, "apt remove brltty", "; then unplug the board"});
        row("a CH340, no brltty", "", CH340, 8002, {});
        row("brltty, no CH340", "", Brltty | BrlttyRule, 8002, {});
    }
    void hintsFromTheMachine() {
        QFETCH(QString, device);
        QFETCH(int, machine);
        QFETCH(int, error);
        QFETCH(QStringList, says);
        QTemporaryDir made;
        const SystemTree tree{made.filePath("sys"), made.filePath("proc"), made.filePath("root")};
        const QString usb1 = tree.sys + "/devices/pci0000:00/usb1/";
        write(tree.proc + "/1/comm", "systemd");
        if (machine & ModemManager)
            write(tree.proc + "/612/comm", "ModemManager");
        if (machine & UnoIds) {
            write(usb1 + "1-1/idVendor", "2341");
            write(usb1 + "1-1/idProduct", "0043");
            QDir().mkpath(usb1 + "1-1/1-1:1.0/tty/ttyACM0");
            QDir().mkpath(tree.sys + "/class/tty/ttyACM0");
            QVERIFY(QFile::link(usb1 + "1-1/1-1:1.0/tty/ttyACM0",
                                tree.sys + "/class/tty/ttyACM0/device"));
        }
        if (machine & CH340) { // plugged in, with no tty below it
            write(usb1 + "1-2/idVendor", "1a86");
            write(usb1 + "1-2/idProduct", "7523");
            QDir().mkpath(tree.sys + "/bus/usb/devices");
            QVERIFY(QFile::link(usb1 + "1-2", tree.sys + "/bus/usb/devices/1-2"));
        }
        if (machine & Brltty)
            write(tree.root + "/usr/bin/brltty", "");
        if (machine & BrlttyRule)
            write(tree.root + "/usr/lib/udev/rules.d/85-brltty.rules", "");
        const RuntimeError shown =
            error == 8005 ? CommErrors::heldBy(device, "another program has it open exclusively",
                                               PortHints::modemManager(device, tree))
                          : noPortFound(ENOENT, "/dev/ttyS0", tree);
        const QString text = shown.description();
        QCOMPARE(shown.number(), error);
        qsizetype at = 0;
        for (const QString& part : says) {
            at = text.indexOf(part, at);
            QVERIFY2(at >= 0, qPrintable(text + "\nlacks: " + part));
        }
        if (says.isEmpty())
            QVERIFY2(!text.contains("ModemManager") && !text.contains("brltty"), qPrintable(text));
    }

    // A virtual board that runs is listed on its link, busy as the cable
    // test's open finds it, word for word; one that was killed is not listed.
    void listsTheBoardAsTheOpenFindsIt_data() {
        QTest::addColumn<Situation>("situation");
        QTest::addColumn<QString>("status"); // how the list begins its line
        QTest::newRow("free") << Situation::Free << "free";
        QTest::newRow("open exclusively")
            << Situation::Exclusive << "busy: it is open exclusively in PID %1 (%2)\n";
        QTest::newRow("its lock file held") << Situation::LockFile << "busy: PID 1 (";
        QTest::newRow("killed") << Situation::Killed << "";
    }
    void listsTheBoardAsTheOpenFindsIt() {
        QFETCH(Situation, situation);
        QFETCH(QString, status);
        QTemporaryDir runtime;
        const QString link = runtime.filePath("zerbo-board");
        QProcess board;
        board.start(ZERBO_BOARD_BINARY, {"--headless", "--link", link});
        QVERIFY(board.waitForReadyRead(10000));
        const QString device = QFileInfo(link).canonicalFilePath();
        QVERIFY(device.startsWith("/dev/pts/"));
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFileOf(device, "/tmp")); });
        QProcess holder;
        const ProcessGroup end{&holder, &board};
        if (situation == Situation::Exclusive) {
            holder.start(QCoreApplication::applicationFilePath(), {"--hold-exclusive", device});
            QVERIFY(holder.waitForReadyRead(5000));
        } else if (situation == Situation::LockFile)
            QVERIFY(write(lockFileOf(device, "/tmp"), "         1")); // PID 1 runs
        else if (situation == Situation::Killed)
            board.kill();
        QVERIFY(board.state() == QProcess::Running || board.waitForFinished());
        const QStringList environment{"XDG_RUNTIME_DIR=" + runtime.path()};
        const QString said = runProgram(Zerbo, {"--list-ports"}, {environment}).out;
        const QString listing = link + " (the virtual board, " + device + "): ";
        if (situation == Situation::Killed) {
            QVERIFY(QFileInfo(link).isSymLink()); // left behind, and passed over
            QVERIFY2(!said.contains(link), qPrintable(said));
            return;
        }
        const QString line = said.mid(said.indexOf(listing)).section('\n', 0, 0) + '\n';
        status.replace("%1", QString::number(holder.processId())).replace("%2", selfName());
        QVERIFY2(line.startsWith(listing + status), qPrintable(said));
        if (situation == Situation::Free)
            return;
        const Run test = runProgram(Zerbo, {"--loopback-test", "--port", link});
        QCOMPARE(test.exitCode, 2);
        QVERIFY2(test.err.contains("Run-time error 8005: Serial port " + link +
                                   " (COM1) is in use by another program: " +
                                   line.mid(listing.size() + 6).trimmed() + ". Close that program"),
                 qPrintable(line + "\n" + test.err));
    }

    // A port another program holds is refused with 8005 naming the holder. A lock file is
    // named with the fix: one in /tmp (Qt's serial port's place when /run/lock is not
    // writable), and one this user may not even read.
    void heldPortIsRefused_data() {
        QTest::addColumn<Holder>("holder");
        QTest::addColumn<bool>("viaLink");
        QTest::addColumn<bool>("nobody");
        QTest::addColumn<QString>("folder"); // of the lock file, made with the mode
        QTest::addColumn<int>("mode");
        // %1: the port as named, %2 and %3: the holder's PID and name, %4: the lock file.
        QTest::addColumn<QStringList>("says");
        const QStringList inUse{
            "Run-time error 8005: Serial port %1 (COM1) is in use by another program: ",
            "PID %2 (%3)"};
        const std::pair<const char*, Holder> holders[] = {
            {"lock file %10d", Holder::PaddedLockFile},
            {"lock file %d", Holder::LockFile},
            {"flock", Holder::Flock},
            {"exclusive open", Holder::ExclusiveOpen},
            {"zerbo via symlink", Holder::Zerbo}};
        for (const bool nobody : {false, true})
            for (const auto& [name, holder] : holders)
                QTest::addRow("%s, %s", name, nobody ? "as nobody" : "as this user")
                    << holder << true << nobody << "/run/lock" << 0644 << inUse;
        QTest::newRow("zerbo, as this user")
            << Holder::Zerbo << false << false << "/run/lock" << 0644 << inUse;
        QTest::newRow("live lock in /tmp, as this user")
            << Holder::PaddedLockFile << false << false << "/tmp" << 0644
            << QStringList{"Run-time error 8005: ", "PID %2 (sleep) holds its lock file %4"};
        QTest::newRow("root's lock, mode 0600, as nobody")
            << Holder::PaddedLockFile << false << true << "/run/lock" << 0600
            << QStringList{"Run-time error 8005: ",
                           "its lock file %4 (owner root, group root, mode -rw-------) may not be "
                           "read by you, so whether its program still runs cannot be told; if no "
                           "program uses the port, remove it with "};
    }
    void heldPortIsRefused() {
        QFETCH(Holder, holder);
        QFETCH(bool, viaLink);
        QFETCH(bool, nobody);
        QFETCH(QString, folder);
        QFETCH(int, mode);
        QFETCH(QStringList, says);
        PtyPair board;
        const QString device = board.slavePath();
        const QString lock = lockFileOf(device, folder);
        QFile::remove(lock); // left by a killed program on an earlier pty
        if (nobody)          // a fresh pseudo-terminal is root's
            QVERIFY(::chown(QFile::encodeName(device).constData(), NobodyId, NobodyId) == 0);
        QTemporaryDir dir; // readable by all, so that nobody reaches the link too
        QFile::setPermissions(dir.path(),
                              QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther);
        const QString named = viaLink ? dir.filePath("com1") : device;
        QVERIFY(!viaLink || QFile::link(device, named));
        const auto removeLock = qScopeGuard([&] { QFile::remove(lock); });
        QProcess first, second;
        const ProcessGroup end{&first, &second};
        const bool lockFile = holder == Holder::PaddedLockFile || holder == Holder::LockFile;
        QString holderName = "sleep";
        if (lockFile) {
            start(first, "sleep", {"60"}, nobody);
            QVERIFY(first.waitForStarted());
            const QByteArray pid = QByteArray::number(first.processId());
            QVERIFY(write(lock, holder == Holder::PaddedLockFile ? pid.rightJustified(10) : pid));
            QVERIFY(::chmod(QFile::encodeName(lock).constData(), mode_t(mode)) == 0);
        } else if (holder == Holder::Flock) {
            start(first, "flock", {device, "sh", "-c", "echo held; exec sleep 60"}, nobody);
            QVERIFY2(first.waitForReadyRead(5000), "flock(1) of util-linux did not start");
            holderName = "flock";
        } else if (holder == Holder::ExclusiveOpen) {
            start(first, QCoreApplication::applicationFilePath(), {"--hold-exclusive", device},
                  nobody);
            QVERIFY(first.waitForReadyRead(5000));
            holderName = selfName();
        } else {
            start(first, Zerbo, {"--port", device}, nobody);
            QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(first.processId(), device), 10000);
            holderName = "zerbo";
        }
        start(second, Zerbo, {"--port", named}, nobody);
        const QString error = reportedError(second);
        for (const QString& part : says) {
            const QString text = QString(part)
                                     .replace("%1", named)
                                     .replace("%2", QString::number(first.processId()))
                                     .replace("%3", holderName)
                                     .replace("%4", lock);
            QVERIFY2(error.contains(text), qPrintable(error + "\nlacks: " + text));
        }
        QVERIFY(!holdsDevice(second.processId(), device));
        QVERIFY(first.state() == QProcess::Running);
        if (lockFile) // the other program's lock is left alone
            QVERIFY(QFile::exists(lock));
    }

    // A program killed while it held the port exclusively leaves the mark; the next start
    // gets the port, the board clearing the mark (root) or moving its link (anyone else). A
    // board in its bootloader keeps hanging up on close (the holder leaves HUPCL as it was).
    void restartAfterAKilledProgramGetsThePort_data() {
        QTest::addColumn<Board>("board");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("nobody");
        const std::pair<const char*, int> deaths[] = {
            {"KILL", SIGKILL}, {"TERM", SIGTERM}, {"HUP", SIGHUP},  {"INT", SIGINT},
            {"QUIT", SIGQUIT}, {"SEGV", SIGSEGV}, {"ABRT", SIGABRT}};
        for (const auto& [name, number] : deaths)
            QTest::addRow("firmware board, %s", name) << Board::Firmware << number << false;
        QTest::addRow("scripted board, KILL") << Board::Scripted << SIGKILL << false;
        QTest::addRow("firmware board, KILL, as nobody") << Board::Firmware << SIGKILL << true;
        QTest::addRow("scripted board, KILL, as nobody") << Board::Scripted << SIGKILL << true;
        QTest::addRow("bootloader board, KILL, as nobody") << Board::Bootloader << SIGKILL << true;
    }
    void restartAfterAKilledProgramGetsThePort() {
        QFETCH(Board, board);
        QFETCH(int, signal);
        QFETCH(bool, nobody);
        QStringList options;
        if (board == Board::Firmware) {
            const QString image = QStringLiteral(ZERBO_FIRMWARE_HEX);
            if (image.isEmpty())
                ZERBO_CANNOT_RUN("this build has no firmware image (gcc-avr, avr-libc)");
            options = firmwareOptions(nobody ? reachableByNobody(image) : image);
        } else if (board == Board::Bootloader) {
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
        first.setProcessChannelMode(QProcess::MergedChannels);
        second.setProcessChannelMode(QProcess::MergedChannels);
        if (board == Board::Bootloader) {
            start(first, QCoreApplication::applicationFilePath(), {"--hold-exclusive", line.link()},
                  nobody);
            QVERIFY(first.waitForReadyRead(5000));
            QVERIFY(marked(line.devicePath(), Mark::HangUpOnClose));
        } else {
            start(first, Zerbo, {"--port", line.link()}, nobody);
        }
        QTRY_VERIFY2_WITH_TIMEOUT(holdsDevice(first.processId(), line.devicePath()),
                                  qPrintable(QString::fromLocal8Bit(first.readAll())), 10000);
        ::kill(pid_t(first.processId()), signal);
        QVERIFY(first.waitForFinished(5000));
        // The board itself clears the mark, or moves its link to a new device.
        QTRY_VERIFY(!marked(line.devicePath(), Mark::Exclusive));
        if (board == Board::Bootloader)
            QVERIFY(marked(line.devicePath(), Mark::HangUpOnClose));
        // A new device may carry another test's killed program's lock; ours stays on the old.
        if (line.devicePath() != device)
            QFile::remove(lockFileOf(line.devicePath()));
        start(second, Zerbo, {"--port", line.link()}, nobody);
        QTRY_VERIFY2_WITH_TIMEOUT(holdsDevice(second.processId(), line.devicePath()),
                                  qPrintable(QString::fromLocal8Bit(second.readAll())), 10000);
    }

    // What an ended program left is taken over: a lock file whose PID has ended gets ours, and
    // root clears an exclusive mark no process holds, saying so on the debug log.
    void staleLockIsTakenOver_data() {
        QTest::addColumn<Stale>("stale");
        QTest::addColumn<bool>("nobody");
        QTest::newRow("lock file, as this user") << Stale::LockFile << false;
        QTest::newRow("lock file, as nobody") << Stale::LockFile << true;
        QTest::newRow("exclusive mark, as this user") << Stale::ExclusiveMark << false;
    }
    void staleLockIsTakenOver() {
        QFETCH(Stale, stale);
        QFETCH(bool, nobody);
        RawPty pty;
        QVERIFY(openRawPty(pty));
        const QString device = pty.slavePath;
        const auto closePty = qScopeGuard([&] {
            ::close(pty.master);
            ::close(pty.slave); // -1 once closed: harmless
        });
        QFile::remove(lockFileOf(device)); // left by a killed program on an earlier pty
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFileOf(device)); });
        if (stale == Stale::ExclusiveMark) {
            QVERIFY(::ioctl(pty.slave, TIOCEXCL) == 0);
            ::close(std::exchange(pty.slave, -1)); // no process has it open
        } else {
            if (nobody)
                QVERIFY(::chown(QFile::encodeName(device).constData(), NobodyId, NobodyId) == 0);
            QProcess ended; // its PID, once it has ended
            ended.start("true", {});
            ended.waitForFinished();
            const qint64 dead = ended.processId() ? ended.processId() : 0x3ffffff0;
            QVERIFY(::kill(pid_t(dead), 0) != 0);
            QVERIFY(write(lockFileOf(device), QByteArray::number(dead).rightJustified(10)));
            if (nobody)
                QVERIFY(::chown(qPrintable(lockFileOf(device)), NobodyId, NobodyId) == 0);
        }
        QProcess zerbo;
        const ProcessGroup end{&zerbo};
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_LOGGING_RULES", "zerbo.serial.debug=true");
        zerbo.setProcessEnvironment(env);
        zerbo.setProcessChannelMode(QProcess::MergedChannels);
        start(zerbo, Zerbo, {"--port", device}, nobody);
        QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(zerbo.processId(), device), 10000);
        if (stale == Stale::LockFile) {
            QFile lock(lockFileOf(device));
            QVERIFY(lock.open(QIODevice::ReadOnly));
            QCOMPARE(lock.readLine().trimmed().toLongLong(), zerbo.processId());
            return;
        }
        zerbo.waitForReadyRead(1000);
        const QString said = QString::fromLocal8Bit(zerbo.readAll());
        QVERIFY2(said.contains(device + " is marked open exclusively, but no process has it "
                                        "open: the mark of a program that ended, cleared"),
                 qPrintable(said));
    }

    // A port the program cannot open says why, once, with the fix. 8010's fix follows the
    // group and mode, with sudo only where installed (PATH holds a sudo or nothing). Named by
    // ZERBO_PORT, the fix sets the variable right. A regular file is never written.
    void portThatCannotBeOpened_data() {
        QTest::addColumn<Via>("via");
        QTest::addColumn<Made>("made");
        QTest::addColumn<QString>("path"); // as named, unless made for the row
        QTest::addColumn<bool>("fromVariable");
        QTest::addColumn<QString>("group"); // a made pseudo-terminal's, and its mode
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("withSudo");
        QTest::addColumn<QString>("says"); // %1: the path
        const auto denied = [](const char* name, Via via, const char* group, int mode,
                               bool withSudo, const QString& says) {
            QTest::newRow(name) << via << Made::Pty << QString() << false << QString(group) << mode
                                << withSudo
                                << "8010: Serial port %1 (COM1) may not be opened by you: "
                                   "permission denied " +
                                       says;
        };
        const QString dialout = "(owner root, group dialout, mode crw-rw----). Join the dialout "
                                "group with `%1`, then log out and in again.";
        denied("dialout, sudo, as nobody", Via::CableTest, "dialout", 0660, true,
               dialout.arg("sudo adduser nobody dialout"));
        denied("dialout, no sudo, as nobody", Via::CableTest, "dialout", 0660, false,
               dialout.arg("su - -c \"adduser nobody dialout\""));
        denied("another group, as nobody", Via::CableTest, "uucp", 0660, true,
               "(owner root, group uucp, mode crw-rw----). Join the uucp group with `sudo "
               "adduser nobody uucp`");
        denied("root:root 0600, as nobody", Via::CableTest, "root", 0600, true,
               "(owner root, group root, mode crw-------). Only root can open it: ask your "
               "administrator or use a udev rule.");
        const QString writeOnly = "(owner root, group %1, mode crw--w----). Only root can open it";
        denied("group may only write, as nobody", Via::CableTest, "dialout", 0620, true,
               writeOnly.arg("dialout"));
        denied("a fresh pseudo-terminal in the window, as nobody", Via::Window, "root", 0620, true,
               writeOnly.arg("root"));
        const auto row = [](const char* name, Via via, bool fromVariable, Made made,
                            const QString& path, const QString& says) {
            QTest::newRow(name) << via << made << path << fromVariable << QString() << 0 << false
                                << says;
        };
        const QString missing = "/nonexistent/zerbo-port";
        row("window, missing", Via::Window, true, Made::Nothing, missing,
            "8002: Serial port %1 (COM1), named by ZERBO_PORT, was not found. Connect the "
            "board's serial adapter, or set ZERBO_PORT to its device (or unset it, and ZERBO "
            "looks for the port itself).");
        row("cable test, missing", Via::CableTest, true, Made::Nothing, missing,
            "8002: Serial port %1 (COM1), named by ZERBO_PORT, was not found.");
        row("cable test, no serial device", Via::CableTest, true, Made::Nothing, "/dev/null",
            "8020: Serial port %1 (COM1), named by ZERBO_PORT, is not a serial device: it is a "
            "character device that is not a terminal. Connect the board's serial adapter and set "
            "ZERBO_PORT to its device");
        row("--port, missing", Via::CableTest, false, Made::Nothing, missing,
            "8002: Serial port %1 (COM1) was not found. Connect the board's serial adapter, or "
            "name its device with --port DEVICE or the environment variable ZERBO_PORT.");
        row("window, --port, missing", Via::Window, false, Made::Nothing, "/dev/zerbo-no-board",
            "8002: Serial port %1 (COM1) was not found. Connect the board's serial adapter");
        const QString no = "8020: Serial port %1 (COM1) is not a serial device: ";
        row("--port, regular file", Via::CableTest, false, Made::File, "",
            no + "it is a regular file.");
        row("--port, directory", Via::CableTest, false, Made::Folder, "",
            no + "it is a directory.");
        row("--port, not a terminal", Via::CableTest, false, Made::Nothing, "/dev/null",
            no + "it is a character device that is not a terminal.");
    }
    void portThatCannotBeOpened() {
        QFETCH(Via, via);
        QFETCH(Made, made);
        QFETCH(QString, path);
        QFETCH(bool, fromVariable);
        QFETCH(QString, group);
        QFETCH(int, mode);
        QFETCH(bool, withSudo);
        QFETCH(QString, says);
        QTemporaryDir dir;
        PtyPair board;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (made == Made::Pty) {
            const struct group* entry = ::getgrnam(qPrintable(group));
            if (!entry)
                ZERBO_CANNOT_RUN("this system has no such group");
            path = board.slavePath();
            QVERIFY(::chown(qPrintable(path), 0, entry->gr_gid) == 0 &&
                    ::chmod(qPrintable(path), mode_t(mode)) == 0);
            QVERIFY(!withSudo || QFile::link("/bin/true", dir.filePath("sudo")));
            QVERIFY(::chmod(qPrintable(dir.path()), 0755) == 0);
            if (via == Via::CableTest)
                env.insert("PATH", dir.path());
        } else if (made != Made::Nothing) {
            path = dir.filePath("port");
            QVERIFY(made == Made::File ? write(path, "keep me") : QDir().mkdir(path));
        }
        if (fromVariable)
            env.insert("ZERBO_PORT", path);
        else
            env.remove("ZERBO_PORT");
        QProcess zerbo;
        const ProcessGroup end{&zerbo};
        zerbo.setProcessEnvironment(env);
        start(zerbo, Zerbo,
              (via == Via::CableTest ? QStringList{"--loopback-test"} : QStringList{}) +
                  (fromVariable ? QStringList{} : QStringList{"--port", path}),
              made == Made::Pty);
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
        if (made == Made::File) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("keep me\n"));
        }
    }
};

int main(int argc, char** argv) {
    // The test runs itself as a helper: holding the device exclusively, or telling its status.
    if (argc == 3 && QByteArray(argv[1]) == "--hold-exclusive")
        return holdExclusive(argv[2]);
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--status")
        return std::fputs(qPrintable(portStatus(QString::fromLocal8Bit(argv[2]))), stdout) < 0;
    PortAccessTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_port_access.moc"
