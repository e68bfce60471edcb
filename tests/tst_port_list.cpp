// SPDX-License-Identifier: GPL-3.0-or-later
// What zerbo --list-ports tells of each port: whether it opens now (free,
// busy and by whom, no permission, no UART), and the USB ids, maker and
// serial number read from sysfs where no udev database answers.
#include "cannot_run.h"
#include "pty_pair.h"
#include "serial/comm_errors.h"
#include "serial/port_hints.h"
#include "serial/port_status.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <grp.h>
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

// portStatus() as the user nobody sees it, from a child process.
QString statusAsNobody(const QString& device) {
    int ends[2];
    if (::pipe(ends) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
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
} // namespace

Q_DECLARE_METATYPE(PortDescription)

class PortListTest : public QObject {
    Q_OBJECT
private slots:
    // A real serial line, free and then held by another process, and what
    // each open error is called.
    void whetherItOpensNow() {
        PtyPair line;
        QCOMPARE(portStatus(line.slavePath()), "free");
        QProcess holder;
        holder.setStandardInputFile(line.slavePath());
        holder.start("sleep", {"30"});
        QVERIFY(holder.waitForStarted());
        const auto end = qScopeGuard([&] {
            holder.kill();
            holder.waitForFinished();
        });
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
        QTest::newRow("nothing known")
            << true << PortDescription{"/dev/ttyUSB0", {}, {}, {}, {}, {}}
            << "/dev/ttyUSB0 (FT232R USB UART, maker FTDI, serial number A50285BI, USB id "
               "0403:6001: an FTDI chip, as on older Arduino Nanos and many adapters)";
        QTest::newRow("what is known stays")
            << true << PortDescription{"/dev/ttyUSB0", "Board", {}, {}, 0x1234, 0x5678}
            << "/dev/ttyUSB0 (Board, maker FTDI, serial number A50285BI, USB id 1234:5678)";
        // The Uno's ATmega16U2 (both product ids) and a Nano's CH340, as udev tells them.
        QTest::newRow("Uno") << true << PortDescription{"/dev/ttyUSB0", "Uno",  "Arduino",
                                                        "85",           0x2341, 0x0043}
                             << "/dev/ttyUSB0 (Uno, maker Arduino, serial number 85, USB id "
                                "2341:0043: an Arduino Uno)";
        QTest::newRow("first Uno")
            << true << PortDescription{"/dev/ttyUSB0", "Uno", "Arduino", "85", 0x2341, 0x0001}
            << "/dev/ttyUSB0 (Uno, maker Arduino, serial number 85, USB id "
               "2341:0001: an Arduino Uno)";
        QTest::newRow("CH340") << true << PortDescription{"/dev/ttyUSB0", "USB Serial", "1a86", "1",
                                                          0x1a86,         0x7523}
                               << "/dev/ttyUSB0 (USB Serial, maker 1a86, serial number 1, USB id "
                                  "1a86:7523: a CH340 chip, as on most Arduino Nanos)";
        QTest::newRow("CH340's other product")
            << true << PortDescription{"/dev/ttyUSB0", "USB Serial", "1a86", "1", 0x1a86, 0x7522}
            << "/dev/ttyUSB0 (USB Serial, maker 1a86, serial "
               "number 1, USB id 1a86:7522)";
        QTest::newRow("a built-in port")
            << false << PortDescription{"/dev/ttyUSB0", {}, {}, {}, {}, {}} << "/dev/ttyUSB0";
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
        const QString wait = "ModemManager runs here: it probes each new ttyACM device for some "
                             "seconds after it is plugged in, and holds it meanwhile. Wait a few "
                             "seconds, then start again; to keep it off the board for good, put "
                             "the line ";
        const QString rule = " into /etc/udev/rules.d/99-zerbo-board.rules as root, run ";
        QTest::newRow("ModemManager holds the Uno")
            << "/dev/ttyACM0" << QStringList{"ModemManager", "Uno"} << 8005
            << QStringList{wait +
                               "ATTRS{idVendor}==\"2341\", ATTRS{idProduct}==\"0043\", "
                               "ENV{ID_MM_DEVICE_IGNORE}=\"1\"" +
                               rule,
                           "udevadm control --reload", " and plug the board in again."};
        QTest::newRow("ModemManager, ids unknown")
            << "/dev/ttyACM0" << QStringList{"ModemManager"} << 8005
            << QStringList{wait + "KERNEL==\"ttyACM*\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"" + rule};
        QTest::newRow("ModemManager, but a ttyUSB port")
            << "/dev/ttyUSB0" << QStringList{"ModemManager"} << 8005 << QStringList{};
        QTest::newRow("a ttyACM port, no ModemManager")
            << "/dev/ttyACM0" << QStringList{"Uno"} << 8005 << QStringList{};
        const QString taken = "A CH340 USB serial chip (USB id 1a86:7523, as on most Arduino "
                              "Nanos) is plugged in but has no /dev/ttyUSB device: brltty, the "
                              "braille display driver installed here, takes that chip for a "
                              "braille display. Remove it with ";
        QTest::newRow("brltty took the CH340")
            << "" << QStringList{"CH340", "brltty", "brltty rule"} << 8002
            << QStringList{taken, "apt remove brltty",
                           ", or keep it and turn off its udev rule "
                           "/usr/lib/udev/rules.d/85-brltty.rules with ",
                           "ln -s /dev/null /etc/udev/rules.d/85-brltty.rules",
                           "; then unplug the board and plug it in again."};
        QTest::newRow("brltty without a udev rule took the CH340")
            << "" << QStringList{"CH340", "brltty"} << 8002
            << QStringList{taken, "apt remove brltty", "; then unplug the board"};
        QTest::newRow("a CH340, no brltty") << "" << QStringList{"CH340"} << 8002 << QStringList{};
        QTest::newRow("brltty, no CH340")
            << "" << QStringList{"brltty", "brltty rule"} << 8002 << QStringList{};
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

    // The real program: one port a line, what it is, then whether it opens.
    void realProgramListsTheStatus() {
        QProcess program;
        program.start(ZERBO_BINARY, {"--list-ports"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        const QRegularExpression line("^/dev/\\S+( \\(.+\\))?: (free|busy|busy: held by PID \\d+.*|"
                                      "no permission|no UART|.+)$");
        for (const QString& text : QString::fromLocal8Bit(program.readAllStandardOutput())
                                       .split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(PortListTest)
#include "tst_port_list.moc"
