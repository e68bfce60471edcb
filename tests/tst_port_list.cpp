// SPDX-License-Identifier: GPL-3.0-or-later
// What zerbo --list-ports tells of each port: whether it opens now (free,
// busy and by whom, no permission, no UART), and the USB ids, maker and
// serial number read from sysfs where no udev database answers.
#include "cannot_run.h"
#include "pty_pair.h"
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
