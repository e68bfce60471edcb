// SPDX-License-Identifier: GPL-3.0-or-later
// What zerbo --list-ports tells of each port: whether it opens now (free,
// busy and by whom, as the open finds it, no permission, no UART), the USB
// ids, maker and serial number read from sysfs where no udev database
// answers, and a virtual board that runs.
#include "cannot_run.h"
#include "process_group.h"
#include "pty_pair.h"
#include "run_program.h"
#include "serial/comm_errors.h"
#include "serial/port_choice.h"
#include "serial/port_hints.h"
#include "serial/port_status.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
void write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text + '\n');
}

// A child process that holds the device opened exclusively (TIOCEXCL), as
// terminal programs do; its PID once it does, 0 when it could not.
pid_t holdExclusively(const QString& device) {
    int ends[2];
    if (::pipe(ends) != 0)
        return 0;
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(qPrintable(device), O_RDWR | O_NOCTTY);
        const char done = fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0 ? 'y' : 'n';
        if (::write(ends[1], &done, 1) == 1)
            ::pause();
        ::_exit(0);
    }
    ::close(ends[1]);
    char done = 'n';
    const bool held = ::read(ends[0], &done, 1) == 1 && done == 'y';
    ::close(ends[0]);
    return held ? child : 0;
}

// portStatus() as the user nobody sees it, from a child process.
QString statusAsNobody(const QString& device) {
    int ends[2];
    if (::pipe(ends) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (!becomeNobody())
            ::_exit(126);
        const QByteArray status = portStatus(device).toLocal8Bit();
        ::_exit(::write(ends[1], status.constData(), size_t(status.size())) < 0);
    }
    ::close(ends[1]);
    char text[256] = {};
    const ssize_t got = ::read(ends[0], text, sizeof text - 1);
    ::close(ends[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromLocal8Bit(text, int(std::max<ssize_t>(got, 0)));
}

// What holds the running board's port while the list is made.
enum class Situation { Free, Exclusive, LockFile, Killed };
} // namespace

Q_DECLARE_METATYPE(PortDescription)
Q_DECLARE_METATYPE(Situation)

class PortListTest : public QObject {
    Q_OBJECT
private slots:
    // A real serial line, free and then held by another process, and what
    // each open error is called.
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
        QCOMPARE(statusAsNobody(line.slavePath()), "no permission");
    }

    // A tree as the kernel lays it out for an FTDI adapter: the tty's device
    // is the USB interface, the ids are on the USB device above it.
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

    // What a desktop's own services do to a board, told with error 8005 or
    // 8002 from made-up answers: machine names what the tree holds (a running
    // ModemManager, the Uno's USB ids in sysfs, a CH340 plugged in, brltty
    // and its udev rule installed); says, the parts of the hint, none: no hint.
    void hintsFromTheMachine_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("machine");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("says");
        const auto row = [](const char* name, const QString& device, const QStringList& machine,
                            int error, const QStringList& says) {
            QTest::newRow(name) << device << machine << error << says;
        };
        const QString wait = "ModemManager runs here: it probes each new ttyACM device for some "
                             "seconds after it is plugged in, and holds it meanwhile. Wait a few "
                             "seconds, then start again; to keep it off the board for good, put "
                             "the line ";
        const QString rule = " into /etc/udev/rules.d/99-zerbo-board.rules as root, run ";
        row("ModemManager holds the Uno", "/dev/ttyACM0", {"ModemManager", "Uno"}, 8005,
            {wait +
                 "ATTRS{idVendor}==\"2341\", ATTRS{idProduct}==\"0043\", "
                 "ENV{ID_MM_DEVICE_IGNORE}=\"1\"" +
                 rule,
             "udevadm control --reload", " and plug the board in again."});
        row("ModemManager, ids unknown", "/dev/ttyACM0", {"ModemManager"}, 8005,
            {wait + "KERNEL==\"ttyACM*\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"" + rule});
        row("ModemManager, but a ttyUSB port", "/dev/ttyUSB0", {"ModemManager"}, 8005, {});
        row("a ttyACM port, no ModemManager", "/dev/ttyACM0", {"Uno"}, 8005, {});
        const QString taken = "A CH340 USB serial chip (USB id 1a86:7523, as on most Arduino "
                              "Nanos) is plugged in but has no /dev/ttyUSB device: brltty, the "
                              "braille display driver installed here, takes that chip for a "
                              "braille display. Remove it with ";
        row("brltty took the CH340", "", {"CH340", "brltty", "brltty rule"}, 8002,
            {taken, "apt remove brltty",
             ", or keep it and turn off its udev rule /usr/lib/udev/rules.d/85-brltty.rules with ",
             "ln -s /dev/null /etc/udev/rules.d/85-brltty.rules",
             "; then unplug the board and plug it in again."});
        row("brltty without a udev rule took the CH340", "", {"CH340", "brltty"}, 8002,
            {taken, "apt remove brltty", "; then unplug the board"});
        row("a CH340, no brltty", "", {"CH340"}, 8002, {});
        row("brltty, no CH340", "", {"brltty", "brltty rule"}, 8002, {});
    }
    void hintsFromTheMachine() {
        QFETCH(QString, device);
        QFETCH(QStringList, machine);
        QFETCH(int, error);
        QFETCH(QStringList, says);
        QTemporaryDir made;
        const SystemTree tree{made.filePath("sys"), made.filePath("proc"), made.filePath("root")};
        QDir().mkpath(tree.proc + "/1");
        write(tree.proc + "/1/comm", "systemd");
        if (machine.contains("ModemManager"))
            write(tree.proc + "/612/comm", "ModemManager");
        if (machine.contains("Uno")) {
            const QString usbDevice = tree.sys + "/devices/pci0000:00/usb1/1-1";
            write(usbDevice + "/idVendor", "2341");
            write(usbDevice + "/idProduct", "0043");
            QDir().mkpath(usbDevice + "/1-1:1.0/tty/ttyACM0");
            QDir().mkpath(tree.sys + "/class/tty/ttyACM0");
            QVERIFY(QFile::link(usbDevice + "/1-1:1.0/tty/ttyACM0",
                                tree.sys + "/class/tty/ttyACM0/device"));
        }
        if (machine.contains("CH340")) { // plugged in, with no tty below it
            write(tree.sys + "/devices/pci0000:00/usb1/1-2/idVendor", "1a86");
            write(tree.sys + "/devices/pci0000:00/usb1/1-2/idProduct", "7523");
            QDir().mkpath(tree.sys + "/bus/usb/devices");
            QVERIFY(QFile::link(tree.sys + "/devices/pci0000:00/usb1/1-2",
                                tree.sys + "/bus/usb/devices/1-2"));
        }
        if (machine.contains("brltty"))
            write(tree.root + "/usr/bin/brltty", "");
        if (machine.contains("brltty rule"))
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
    // test's open finds it, word for word: opened exclusively by another
    // process, or its lock file held; one that was killed is not listed.
    void listsTheBoardAsTheOpenFindsIt_data() {
        QTest::addColumn<Situation>("situation");
        QTest::addColumn<QString>("status"); // how the list begins it
        QTest::newRow("free") << Situation::Free << "free";
        QTest::newRow("open exclusively")
            << Situation::Exclusive << "busy: it is open exclusively in PID %1 (tst_port_list)\n";
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
        const QString lockFile = "/tmp/LCK.." + device.mid(5).replace('/', '_');
        pid_t holder = 0;
        const auto end = qScopeGuard([&] {
            QFile::remove(lockFile);
            if (holder > 0 && ::kill(holder, SIGKILL) == 0)
                ::waitpid(holder, nullptr, 0);
            board.kill();
            board.waitForFinished();
        });
        if (situation == Situation::Exclusive)
            QVERIFY((holder = holdExclusively(device)) > 0);
        else if (situation == Situation::LockFile)
            write(lockFile, "         1"); // PID 1 runs
        else if (situation == Situation::Killed)
            board.kill();
        QVERIFY(board.state() == QProcess::Running || board.waitForFinished());
        const QStringList environment{"XDG_RUNTIME_DIR=" + runtime.path()};
        const QString said = runProgram(ZERBO_BINARY, {"--list-ports"}, {environment}).out;
        const QString listing = link + " (the virtual board, " + device + "): ";
        if (status.isEmpty()) {
            QVERIFY(QFileInfo(link).isSymLink()); // left behind, and passed over
            QVERIFY2(!said.contains(link), qPrintable(said));
            return;
        }
        const QString line = said.mid(said.indexOf(listing)).section('\n', 0, 0) + '\n';
        QVERIFY2(line.startsWith(listing + status.replace("%1", QString::number(holder))),
                 qPrintable(said));
        if (!status.startsWith("busy"))
            return;
        const Run test = runProgram(ZERBO_BINARY, {"--loopback-test", "--port", link});
        QCOMPARE(test.exitCode, 2);
        QVERIFY2(test.err.contains("Run-time error 8005: Serial port " + link +
                                   " (COM1) is in use by another program: " +
                                   line.mid(listing.size() + 6).trimmed() + ". Close that program"),
                 qPrintable(line + "\n" + test.err));
    }
};

QTEST_GUILESS_MAIN(PortListTest)
#include "tst_port_list.moc"
