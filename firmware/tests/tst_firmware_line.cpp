// SPDX-License-Identifier: GPL-3.0-or-later
// The line to the simulated board running the firmware: bytes left unread at
// a close never reach the next opener, a rate that differs from the
// firmware's gives what a real receiver would, and the real ZERBO gets the
// table and shows every way of sending on the board's LEDs, the pauses
// measured on the board's clock.
#include "base/charset.h"
#include "board_process.h"
#include "form/option_button.h"
#include "program.h"
#include "virtual_line.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
int openPort(const QString& path, speed_t rate) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    ::tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tio.c_iflag &= ~tcflag_t(IGNPAR | PARMRK);
    cfsetispeed(&tio, rate);
    cfsetospeed(&tio, rate);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// All that arrives until nothing more comes for quietMs.
QByteArray readQuiet(int fd, int quietMs, int firstMs = 2000) {
    QByteArray bytes;
    for (int wait = firstMs;; wait = quietMs) {
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, wait) <= 0)
            return bytes;
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return bytes;
        bytes.append(buffer, n);
    }
}

QStringList firmware(const QString& image = QStringLiteral("zerbo-board.hex")) {
    return firmwareOptions(QStringLiteral(ZERBO_FIRMWARE_DIR "/") + image);
}

QList<double> gapsMs(const QList<Arrival>& leds) {
    QList<double> gaps;
    for (qsizetype i = 1; i < leds.size(); ++i)
        gaps << (leds[i].seconds - leds[i - 1].seconds) * 1000;
    return gaps;
}

// No gap shorter than the pause by more than the board's process may have
// been late to read the byte before (18 ms seen at a load of 5 on two cores),
// none longer than a very busy machine makes it (91 ms late seen at a load of
// 10), and the median at most 2 ms short, at most 10 ms late.
bool paced(QList<double> gaps, double pauseMs) {
    if (gaps.isEmpty())
        return false;
    for (double gap : gaps)
        if (gap < pauseMs - 30 || gap > pauseMs + 200)
            return false;
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps[gaps.size() / 2];
    return median >= pauseMs - 2 && median <= pauseMs + 10;
}

QString show(const QList<double>& gaps) {
    QStringList words;
    for (double gap : gaps)
        words << QString::number(gap, 'f', 1);
    return words.join(' ');
}
} // namespace

class FirmwareLine : public QObject {
    Q_OBJECT
private slots:
    // Closed while bytes of the table wait unread and reopened at once (too
    // quick for a hang-up to show): the second opener gets only the rest.
    // With 5 ms between the bytes the table lasts 1.3 s, longer than a busy
    // machine's delays.
    void aCloseDropsWhatWasLeftUnread() {
        BoardProcess board(firmware(QStringLiteral("zerbo-board-pause5.hex")));
        board.settle(50);
        int fd = openPort(board.link(), B38400);
        board.pressKeyOne();
        pollfd waiting{fd, POLLIN, 0};
        QVERIFY2(::poll(&waiting, 1, 5000) == 1, "the table did not start");
        QTest::qSleep(20); // a few bytes more, all unread
        ::close(fd);
        fd = openPort(board.link(), B38400);
        QTest::qSleep(100); // so that even a busy machine's board sees the close first
        const QByteArray rest = readQuiet(fd, 500);
        ::close(fd);
        QVERIFY2(!rest.isEmpty() && rest.size() < 256, qPrintable(QString::number(rest.size())));
        QCOMPARE(rest, wholeTable().right(rest.size()));
    }

    // What a program wrote before its close reaches the board, however soon the board sees the
    // close: ZERBO opens, writes, drains and closes for every byte it sends. A board that saw the
    // close while the kernel still moved the byte across the pair dropped it (1 of 7 sends on the
    // LEDs, on a busy machine). Two hundred closes, each seen at once.
    void aCloseKeepsWhatTheProgramWrote() {
        QTemporaryDir dir;
        VirtualLine line(dir.filePath("board"), false);
        QByteArray got;
        connect(&line, &VirtualLine::receivedTogether, [&got](const QByteArray& b) { got += b; });
        QByteArray sent;
        for (int i = 0; i < 200; ++i) {
            const char byte = char('A' + i % 26);
            const int fd = openPort(line.linkPath(), B38400);
            QCOMPARE(::write(fd, &byte, 1), ssize_t(1));
            QCOMPARE(::tcdrain(fd), 0);
            ::close(fd);
            line.dropWhatACloseLeft();
            sent += byte;
        }
        QTRY_COMPARE(got, sent);
    }

    // No note of the simulator library's on either channel (it printed
    // "skipping PORT\0 for core atmega8", NUL byte and all).
    void theBoardsOutputIsItsOwn() {
        QTemporaryDir dir;
        QProcess board;
        board.start(QStringLiteral(ZERBO_BOARD_BINARY),
                    {"--headless", "--link", dir.filePath("board"), "--send-table-after", "0",
                     "--firmware", QStringLiteral(ZERBO_FIRMWARE_DIR "/zerbo-board.hex")});
        QByteArray said;
        while (!said.contains("table sent") && board.waitForReadyRead(5000))
            said += board.readAllStandardOutput();
        board.terminate();
        QVERIFY(board.waitForFinished(5000));
        said += board.readAllStandardOutput() + board.readAllStandardError();
        QVERIFY2(said.contains("table sent"), said.constData());
        QVERIFY2(!said.contains('\0') && !said.contains("skipping"), said.constData());
    }

    // Sent while nobody holds the port, the table is lost as on a real line.
    void nobodyListeningLosesTheTable() {
        BoardProcess board(firmware());
        board.pressKeyOne();
        QVERIFY(board.readUntil([&] { return board.lines.contains("table sent"); }));
        const int fd = openPort(board.link(), B38400);
        const QByteArray stale = readQuiet(fd, 100, 300);
        ::close(fd);
        QCOMPARE(stale, QByteArray());
    }

    void theTableAtMatchingRatesIsWhole() {
        BoardProcess board(firmware());
        const int fd = openPort(board.link(), B38400);
        board.settle(50);
        board.pressKeyOne();
        const QByteArray got = readQuiet(fd, 500);
        ::close(fd);
        QCOMPARE(got, wholeTable());
    }

    // Port and firmware at different rates: wrong bytes both ways.
    void aWrongRateGivesWrongBytes_data() {
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("rate");
        QTest::newRow("port at 19200") << "zerbo-board.hex" << int(B19200);
        QTest::newRow("firmware for 19200") << "zerbo-board-19200.hex" << int(B38400);
    }
    void aWrongRateGivesWrongBytes() {
        QFETCH(QString, image);
        QFETCH(int, rate);
        BoardProcess board(firmware(image));
        const int fd = openPort(board.link(), speed_t(rate));
        board.settle(50);
        board.pressKeyOne();
        const QByteArray got = readQuiet(fd, 300);
        QVERIFY2(got != wholeTable(), "the table came through a wrong rate unharmed");
        QVERIFY(!got.isEmpty());
        qInfo("%lld bytes arrived for 256 sent", qlonglong(got.size()));
        const QByteArray sent("AZ09");
        QCOMPARE(::write(fd, sent.constData(), size_t(sent.size())), ssize_t(sent.size()));
        board.readUntil([&] { return board.rx.size() >= sent.size(); }, 500);
        ::close(fd);
        QVERIFY(codesOf(board.rx) != (QList<int>{'A', 'Z', '0', '9'}));
    }

    // The same through ZERBO's window: what arrives is not the table.
    void aFirmwareForAnotherRateGivesAWrongTable() {
        BoardProcess board(firmware("zerbo-board-19200.hex"));
        Zerbo zerbo(board.link());
        onceWaiting(zerbo, [&board] { board.pressKeyOne(); });
        loadKillingBoardAfter(zerbo, board.process(), 3000); // 255 may never come
        const int right = numberedSlots(zerbo.form());
        qInfo("%d of 256 slots filled from a table sent at 19200 baud", right);
        QVERIFY2(right < 256, "the table came through a wrong rate unharmed");
    }

    void startUpTableThenEverySendOnTheLeds() {
        BoardProcess board(firmware());
        Zerbo zerbo(board.link());
        onceWaiting(zerbo, [&board] { board.pressKeyOne(); });
        loadKillingBoardAfter(zerbo, board.process(), 10000);
        FrmAscii& form = zerbo.form();
        QCOMPARE(numberedSlots(form), 256);
        for (int code = 1; code < 256; ++code)
            QCOMPARE(form.slot(code).character->text(),
                     textFromByte(static_cast<unsigned char>(code)));
        board.settle(100);

        for (int code : {0, 65, 65, 255})
            form.slot(code).sendButton->click();
        form.slot(65).sendButton->click();
        QTest::keyClick(form.slot(65).sendButton, Qt::Key_Right);
        QTest::keyClick(form.slot(66).sendButton, Qt::Key_Left);
        const QList<int> clicked{0, 65, 65, 255, 65, 66, 65};
        board.readUntil([&] { return board.leds.size() >= clicked.size(); });
        QCOMPARE(codesOf(board.leds), clicked);
        QCOMPARE(codesOf(board.rx), clicked);
        board.settle(100);

        // Four gaps, so that one byte taken late on a busy machine does not move the median.
        form.txtTime()->setText("100");
        form.txtS()->setText("AB1yz");
        form.cmdSend()->click();
        board.readUntil([&] { return board.leds.size() >= 5; });
        QCOMPARE(codesOf(board.leds), (QList<int>{'A', 'B', '1', 'y', 'z'}));
        QVERIFY2(paced(gapsMs(board.leds), 100), qPrintable(show(gapsMs(board.leds))));
        board.settle(100);

        // Continuous sending until Stop, the port closed and reopened before each byte.
        form.txtTime()->setText("50");
        form.txtO()->setText("90");
        later(600, [&form] { form.cmdStopC()->click(); });
        form.cmdSendC()->click();
        board.readUntil([&] { return false; }, 300);
        QVERIFY2(board.leds.size() >= 5, qPrintable(QString::number(board.leds.size())));
        QCOMPARE(codesOf(board.leds), QList<int>(board.leds.size(), 90));
        QCOMPARE(codesOf(board.rx), QList<int>(board.leds.size(), 90));
        QVERIFY2(paced(gapsMs(board.leds), 50), qPrintable(show(gapsMs(board.leds))));
    }
};

QTEST_MAIN(FirmwareLine)
#include "tst_firmware_line.moc"
