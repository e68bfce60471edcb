// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"
#include "serial/comm_control.h"
#include "serial/comm_errors.h"

#include <QTest>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
// The program's end, opened before the port takes it exclusively.
struct ProgramEnd {
    explicit ProgramEnd(const QString& path)
        : fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~ProgramEnd() { ::close(fd); }
    int waiting() const {
        int count = -1;
        ::ioctl(fd, FIONREAD, &count);
        return count;
    }
    bool waitFor(int count) const { // runs no events, so the port takes nothing meanwhile
        for (int ms = 0; ms < 2000 && waiting() < count; ++ms)
            ::usleep(1000);
        return waiting() >= count;
    }
    const int fd;
};

// What the board depends on, as the device holds it.
QString lineSettings(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0)
        return "unreadable";
    const auto on = [](bool set) { return set ? "on" : "off"; };
    const auto baud = [](speed_t speed) {
        return speed == B38400 ? QString("38400") : QString("code %1").arg(speed);
    };
    const bool cooked = (line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) ||
                        (line.c_oflag & OPOST) ||
                        (line.c_iflag & (BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL));
    return QString("%1/%2 baud, CS8 %3, parity %4, 2 stop %5, RTS/CTS %6, XON/XOFF %7, "
                   "HUPCL %8, cooked %9")
        .arg(baud(cfgetispeed(&line)), baud(cfgetospeed(&line)), on((line.c_cflag & CSIZE) == CS8),
             on(line.c_cflag & PARENB), on(line.c_cflag & CSTOPB), on(line.c_cflag & CRTSCTS),
             on(line.c_iflag & (IXON | IXOFF | IXANY)), on(line.c_cflag & HUPCL), on(cooked));
}
} // namespace

class TestCommControl : public QObject {
    Q_OBJECT

private slots:
    // A real UART may start at another rate, cooked, with flow control and with
    // HUPCL, which would drop DTR and RTS at every close and restart a board that
    // resets on DTR. The open sets the line; every close, also the one of the
    // close and reopen of each send, leaves it so. (A pseudo-terminal keeps 8
    // data bits without parity whatever it is told.) Every byte crosses, though the port closes
    // right after it as the continuous send does.
    void lineSettingsOnTheDevice() {
        PtyPair pty;
        ProgramEnd programEnd(pty.slavePath());
        termios line{};
        ::tcgetattr(programEnd.fd, &line);
        cfsetispeed(&line, B9600);
        cfsetospeed(&line, B9600);
        line.c_cflag |= HUPCL | CRTSCTS | CSTOPB;
        line.c_iflag |= IXON | IXOFF | ICRNL;
        line.c_lflag |= ICANON | ECHO | ISIG;
        line.c_oflag |= OPOST;
        ::tcsetattr(programEnd.fd, TCSANOW, &line);
        const QString set = "38400/38400 baud, CS8 on, parity off, 2 stop off, RTS/CTS off, "
                            "XON/XOFF off, HUPCL off, cooked off";
        CommControl port(pty.slavePath());
        port.openSequence();
        QCOMPARE(lineSettings(programEnd.fd), set);
        for (const char byte : wholeTable()) { // the first opens again while open, as a send does
            port.openSequence();
            port.Output(QByteArray(1, byte));
            port.closePort();
        }
        QCOMPARE(lineSettings(programEnd.fd), set);
        QCOMPARE(pty.readExactly(256), wholeTable());
    }

    // QSerialPort alone reads the device, while events run: Input() hands out
    // what it has read, every byte in order, and never touches the device itself.
    void inputTakesEveryByteInOrder() {
        PtyPair pty;
        ProgramEnd programEnd(pty.slavePath());
        CommControl port(pty.slavePath());
        const QByteArray sent = wholeTable();
        port.openSequence();
        QCOMPARE(port.Input(), QByteArray()); // returns at once when nothing waits
        pty.write(sent.first(100));
        QVERIFY(programEnd.waitFor(100));
        QTRY_COMPARE(programEnd.waiting(), 0); // read while events ran
        pty.write(sent.sliced(100));
        QVERIFY(programEnd.waitFor(156));
        QCOMPARE(port.Input(), sent.first(100)); // the rest is still the driver's
        QCOMPARE(programEnd.waiting(), 156);
        QByteArray received;
        const auto readSoFar = [&] { return received += port.Input(); };
        QTRY_COMPARE(readSoFar(), sent.sliced(100));
        QCOMPARE(port.Input(), QByteArray());
    }

    // The cable test's fresh start: what was read and what the driver still
    // holds are both gone; what comes after is kept.
    void discardInputForgetsWhatCameBefore() {
        PtyPair pty;
        ProgramEnd programEnd(pty.slavePath());
        CommControl port(pty.slavePath());
        port.openSequence();
        pty.write("read");
        QTRY_COMPARE(programEnd.waiting(), 0);
        pty.write("held");
        QVERIFY(programEnd.waitFor(4));
        port.discardInput();
        pty.write("new");
        QByteArray received;
        const auto readSoFar = [&] { return received += port.Input(); };
        QTRY_COMPARE(readSoFar(), QByteArray("new"));
    }

    // A device missing, held or gone under a send is played in tst_faults.
    void errorsNameTheDevice() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        try {
            port.Output("x");
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::PortNotOpen);
            QVERIFY2(e.description().contains(pty.slavePath()), qPrintable(e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
