// SPDX-License-Identifier: GPL-3.0-or-later
// The line between the simulated board and whoever opens its port: bytes
// left unread at a close never reach the next opener, and a rate that
// differs from the firmware's gives what a real receiver would.
#include "board_process.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
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

QByteArray table() {
    QByteArray all;
    for (int code = 0; code < 256; ++code)
        all.append(char(code));
    return all;
}

// Runs the firmware image on the simulated chip.
QStringList firmware(const QString& image = QStringLiteral("zerbo-board.hex")) {
    return firmwareOptions(QStringLiteral(ZERBO_FIRMWARE_DIR "/") + image);
}
} // namespace

class FirmwareLine : public QObject {
    Q_OBJECT
private slots:
    // Closed while bytes of the table wait unread, and reopened at once (too
    // quick for a hang-up to show): the second opener gets the rest of the
    // table and nothing of what came before. The firmware with 5 ms between
    // the bytes makes the table last 1.3 s, so that a busy machine's delays
    // cannot let it end before the close (or before the read).
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
        // The board drops what was left once it sees the close, as a port's
        // close would; a read this quick could beat it. A moment of the
        // table's 1.3 s lets even a busy machine's board see it first.
        QTest::qSleep(100);
        const QByteArray rest = readQuiet(fd, 500);
        ::close(fd);
        QVERIFY2(!rest.isEmpty() && rest.size() < 256, qPrintable(QString::number(rest.size())));
        QCOMPARE(rest, table().right(rest.size()));
    }

    // What the board prints is its own: no note of the simulator library's on either
    // channel (it printed "skipping PORT\0 for core atmega8", NUL byte and all).
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
        QCOMPARE(got, table());
    }

    // The port at 19200 against the firmware's 38400 (and the firmware built
    // for 19200 against a port at 38400): wrong bytes both ways, none of the
    // table as sent.
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
        QVERIFY2(got != table(), "the table came through a wrong rate unharmed");
        QVERIFY(!got.isEmpty());
        qInfo("%lld bytes arrived for 256 sent", qlonglong(got.size()));
        // And the other way: what the firmware receives is not what was sent.
        const QByteArray sent("AZ09");
        QCOMPARE(::write(fd, sent.constData(), size_t(sent.size())), ssize_t(sent.size()));
        board.readUntil([&] { return board.rx.size() >= sent.size(); }, 500);
        ::close(fd);
        QList<int> asSent;
        for (char c : sent)
            asSent << int(static_cast<unsigned char>(c));
        QVERIFY(codesOf(board.rx) != asSent);
    }
};

QTEST_GUILESS_MAIN(FirmwareLine)
#include "tst_firmware_line.moc"
