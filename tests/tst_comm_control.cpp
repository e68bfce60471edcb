// SPDX-License-Identifier: GPL-3.0-or-later
// The serial line: the port class on a pseudo-terminal, and the real program's cable test.
#include "board_process.h"
#include "program.h"
#include "run_program.h"
#include "serial/comm_control.h"
#include "serial/comm_errors.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int BoundMs = 10000; // only turns a hang into a failure

// The program's end, opened before the port takes it exclusively.
struct ProgramEnd {
    explicit ProgramEnd(const QString& path)
        : fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
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
    // As a real UART may start; HUPCL would restart a board that resets on DTR at every close.
    void unsettle() const {
        termios line{};
        ::tcgetattr(fd, &line);
        cfsetispeed(&line, B9600);
        cfsetospeed(&line, B9600);
        line.c_cflag |= HUPCL | CRTSCTS | CSTOPB;
        line.c_iflag |= IXON | IXOFF | ICRNL;
        line.c_lflag |= ICANON | ECHO | ISIG;
        line.c_oflag |= OPOST;
        ::tcsetattr(fd, TCSANOW, &line);
    }
    const int fd;
};

// A port open on a pseudo-terminal whose program's end the test watches.
struct OpenPort {
    PtyPair pty;
    ProgramEnd programEnd{pty.slavePath()};
    CommControl port{pty.slavePath()};
    OpenPort() { port.openSequence(); }

    // Whether what Input() hands out, gathered, comes to all that was expected, and no more.
    bool inputs(const QByteArray& expected) {
        QByteArray received;
        return QTest::qWaitFor([&] { return (received += port.Input()) == expected; }, 5000);
    }
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

// As the open leaves the line, and every close after it.
const QString AsOpened = "38400/38400 baud, CS8 on, parity off, 2 stop off, RTS/CTS off, "
                         "XON/XOFF off, HUPCL off, cooked off";

// The real program's cable test on device while farEnd plays the line's other end; err after out.
Run cableTest(const QString& device, const std::function<void()>& farEnd) {
    std::jthread playing(farEnd); // a thread of its own: the program runs on this one
    Run run = runProgram(QStringLiteral(ZERBO_BINARY), {"--loopback-test", "--port", device});
    playing.join();
    run.out += run.err;
    return run;
}

// The other end of the cable test: a pseudo-terminal, the virtual board, or no device at all.
enum class Wire { Pty, Board, None };
} // namespace

Q_DECLARE_METATYPE(Wire)

class TestCommControl : public QObject {
    Q_OBJECT

private slots:
    // Every close leaves the line as the open set it, and every byte crosses, though the port
    // closes right after it. (A pseudo-terminal keeps 8 data bits, no parity, whatever it is told.)
    void lineSettingsOnTheDevice() {
        PtyPair pty;
        ProgramEnd programEnd(pty.slavePath());
        programEnd.unsettle();
        CommControl port(pty.slavePath());
        port.openSequence();
        QCOMPARE(lineSettings(programEnd.fd), AsOpened);
        for (const char byte : wholeTable()) { // the first opens again while open, as a send does
            port.openSequence();
            port.Output(QByteArray(1, byte));
            port.closePort();
        }
        QCOMPARE(lineSettings(programEnd.fd), AsOpened);
        QCOMPARE(pty.readExactly(256), wholeTable());
    }

    // The cable test leaves the line as the window does, so no later close drops DTR and RTS.
    void cableTestLeavesTheLineAsTheWindowDoes() {
        PtyPair line;
        ProgramEnd programEnd(line.slavePath());
        QVERIFY(programEnd.fd >= 0);
        programEnd.unsettle();
        const auto echo = [&line] { line.write(line.readExactly(256, BoundMs)); };
        QCOMPARE(cableTest(line.slavePath(), echo).exitCode, 0);
        QCOMPARE(lineSettings(programEnd.fd), AsOpened);
    }

    // QSerialPort alone reads the device, while events run; Input() hands out what it has read.
    void inputTakesEveryByteInOrder() {
        OpenPort open;
        const QByteArray sent = wholeTable();
        QCOMPARE(open.port.Input(), QByteArray()); // returns at once when nothing waits
        open.pty.write(sent.first(100));
        QVERIFY(open.programEnd.waitFor(100));
        QTRY_COMPARE(open.programEnd.waiting(), 0); // read while events ran
        open.pty.write(sent.sliced(100));
        QVERIFY(open.programEnd.waitFor(156));
        QCOMPARE(open.port.Input(), sent.first(100)); // the rest is still the driver's
        QCOMPARE(open.programEnd.waiting(), 156);
        QVERIFY(open.inputs(sent.sliced(100)));
        QCOMPARE(open.port.Input(), QByteArray());
    }

    // The cable test's fresh start: what was read and what the driver holds are both gone.
    void discardInputForgetsWhatCameBefore() {
        OpenPort open;
        open.pty.write("read");
        QVERIFY(open.programEnd.waitFor(4)); // in the driver first: a 0 before it says nothing
        QTRY_COMPARE(open.programEnd.waiting(), 0);
        open.pty.write("held");
        QVERIFY(open.programEnd.waitFor(4));
        open.port.discardInput();
        open.pty.write("new");
        QVERIFY(open.inputs("new"));
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

    // The wire gives back, in pieces as a line does, what the row says, within wallMs; so does
    // every time the report gives.
    void cableTestReports_data() {
        QTest::addColumn<Wire>("wire");
        QTest::addColumn<QByteArray>("back");
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("says");
        QTest::addColumn<int>("wallMs");
        const auto row = [](const char* name, Wire wire, const QByteArray& back, bool unplug,
                            int exitCode, const QStringList& says, int wallMs = 3000) {
            QTest::newRow(name) << wire << back << unplug << exitCode << says << wallMs;
        };
        const QByteArray table = wholeTable();
        QByteArray twice, stuck; // stuck: bit 0 held low and bit 6 high on the way back
        for (char code : table) {
            twice += QByteArray(2, code);
            stuck += char((code & ~0x01) | 0x40);
        }
        // The virtual board plays the wire: all back, quickly.
        row("the board echoes", Wire::Board, {}, false, 0,
            {"256 of 256 intact", "PASSED", "Time: "}, 1000);
        row("no wire", Wire::Pty, {}, false, 1,
            {"Came back: nothing within 1 s", "no wire between pins 2 (RxD) and 3 (TxD)"});
        row("bit 1 of code 65 changes", Wire::Pty, QByteArray(table).replace(65, 1, "C"), false, 1,
            {"255 of 256 intact", "Missing: none", "Wrong: 1 code\n",
             "65 (01000001) came back as 67 (01000011): bit 1",
             "Bits that differ: bit 1 in 1 code\n"});
        row("every byte twice", Wire::Pty, twice, false, 1,
            {"512 bytes for 256 codes, in order; 256 of 256 intact",
             "Extra: 256 bytes that match no code sent, 256 of them repeats", "echoes twice"});
        row("bit 0 stuck at 0, bit 6 at 1", Wire::Pty, stuck, false, 1,
            {"bit 0 always 0: check the wiring of TxD", "bit 6 always 1: check the wiring of TxD"});
        row("codes 100 to 102 lost", Wire::Pty, QByteArray(table).remove(100, 3), false, 1,
            {"253 bytes for 256 codes, in order", "Missing: 100-102", "Wrong: none"});
        row("a wrong bit and codes lost: both causes, in one line", Wire::Pty,
            QByteArray(table).replace(65, 1, "C").remove(100, 3), false, 1,
            {"Missing: 100-102", "FAILED: wrong bits point at the wiring",
             "a baud rate other than 38400; missing codes point at a loose contact or a device in "
             "the loop that cannot keep up.\n"});
        row("unplugged after 100 codes", Wire::Pty, table.left(100), true, 2,
            {"Run-time error 8015: Sending on serial port ", "(COM1) failed"});
        row("no such device", Wire::None, {}, false, 2,
            {"Run-time error 8002: Serial port /nonexistent/zerbo-cable (COM1) was not found"});
    }
    void cableTestReports() {
        QFETCH(Wire, wire);
        QFETCH(QByteArray, back);
        QFETCH(bool, unplug);
        QFETCH(int, exitCode);
        QFETCH(QStringList, says);
        QFETCH(int, wallMs);
        PtyPair line;
        std::optional<BoardProcess> board;
        if (wire == Wire::Board)
            QVERIFY(board.emplace(QStringList{QStringLiteral("--echo")}).started());
        const QString device = wire == Wire::Pty     ? line.slavePath()
                               : wire == Wire::Board ? board->link()
                                                     : QStringLiteral("/nonexistent/zerbo-cable");
        QElapsedTimer clock;
        clock.start();
        const Run run = cableTest(device, [&] {
            if (wire != Wire::Pty)
                return;
            line.readExactly(256, BoundMs);
            for (qsizetype at = 0; at < back.size(); at += 64) {
                line.write(back.mid(at, 64));
                QThread::msleep(5);
            }
            if (unplug)
                line.closeMaster();
        });
        const qint64 tookMs = clock.elapsed();
        QCOMPARE(run.exitCode, exitCode);
        for (const QString& text : says)
            QVERIFY2(run.out.contains(text), qPrintable(run.out));
        for (const auto& time : QRegularExpression("Time: (\\d+) ms").globalMatch(run.out))
            QVERIFY2(time.captured(1).toInt() < wallMs, qPrintable(run.out));
        QVERIFY2(tookMs < wallMs, qPrintable(QString::number(tookMs)));
    }
};

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
