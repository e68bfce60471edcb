// SPDX-License-Identifier: GPL-3.0-or-later
// The cable test of the real program against what stands at the other end of
// the line: the virtual board's echo, and a pseudo-terminal the test plays
// as a wire that is missing, changes a bit, doubles or drops bytes, or is
// unplugged. Each ends with a report and a status; none hangs.
#include "pty_pair.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int BoundMs = 10000; // only turns a hang into a failure

struct Run {
    int exitCode;
    QString output; // standard output, then standard error
    qint64 wallMs;
};

// The program tests the cable on device while the test plays the far end of
// the line: gets the 256 codes and returns what the wire gives back.
Run cableTest(const QString& device, PtyPair* line = nullptr,
              const std::function<void(PtyPair&, QByteArray)>& farEnd = {}) {
    QProcess program;
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(ZERBO_BINARY), {"--loopback-test", "--port", device});
    if (line && farEnd)
        farEnd(*line, line->readExactly(256, BoundMs));
    if (!program.waitForFinished(BoundMs))
        program.kill();
    program.waitForFinished();
    return {
        program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
        QString::fromLocal8Bit(program.readAllStandardOutput() + program.readAllStandardError()),
        clock.elapsed()};
}
} // namespace

class LoopbackTest : public QObject {
    Q_OBJECT

private slots:
    // The virtual board plays the wire: all back, quickly.
    void boardEchoPasses() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("board"));
        QProcess board;
        const auto stop = qScopeGuard([&board] {
            board.terminate();
            board.waitForFinished(BoundMs);
        });
        board.start(QStringLiteral(ZERBO_BOARD_BINARY), {"--headless", "--echo", "--link", link});
        QVERIFY(board.waitForReadyRead(BoundMs)); // "port PATH": the line is up
        const Run run = cableTest(link);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.output.contains("256 of 256 intact") && run.output.contains("PASSED"),
                 qPrintable(run.output));
        const auto time = QRegularExpression("Time: (\\d+) ms").match(run.output);
        QVERIFY2(time.hasMatch() && time.captured(1).toInt() < 1000, qPrintable(run.output));
        QVERIFY2(run.wallMs < 1000, qPrintable(QString::number(run.wallMs)));
    }

    // The line as a fresh device has it (9600, HUPCL on) before the test; as
    // the window leaves it after: 38400 8N1, HUPCL off, so no later close
    // drops DTR and RTS.
    void closeLeavesTheLineAsTheWindowDoes() {
        PtyPair line;
        const QByteArray path = line.slavePath().toLocal8Bit();
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const auto closeFd = qScopeGuard([fd] { ::close(fd); });
        termios before{};
        QCOMPARE(::tcgetattr(fd, &before), 0);
        cfsetspeed(&before, B9600);
        before.c_cflag |= HUPCL;
        QCOMPARE(::tcsetattr(fd, TCSANOW, &before), 0);

        const Run run =
            cableTest(line.slavePath(), &line,
                      [](PtyPair& wire, const QByteArray& codes) { wire.write(codes); });
        QCOMPARE(run.exitCode, 0);
        termios after{};
        QCOMPARE(::tcgetattr(fd, &after), 0);
        QCOMPARE(cfgetospeed(&after), speed_t(B38400));
        QCOMPARE(cfgetispeed(&after), speed_t(B38400));
        QCOMPARE(after.c_cflag & HUPCL, tcflag_t(0));
        QCOMPARE(after.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(after.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    }

    void faultsAreReported_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("no wire") << "silent" << 1
                                 << QStringList{"Came back: nothing within 1 s",
                                                "no wire between pins 2 (RxD) and 3 (TxD)"};
        QTest::newRow("bit 1 of code 65 changes")
            << "flip" << 1
            << QStringList{"255 of 256 intact", "Missing: none", "Wrong: 1 code\n",
                           "65 (01000001) came back as 67 (01000011): bit 1",
                           "Bits that differ: bit 1 in 1 code\n"};
        QTest::newRow("every byte twice")
            << "double" << 1
            << QStringList{"512 bytes for 256 codes, in order; 256 of 256 intact",
                           "Extra: 256 bytes that match no code sent, 256 of them repeats",
                           "echoes twice"};
        QTest::newRow("codes 100 to 102 lost")
            << "drop" << 1
            << QStringList{"253 bytes for 256 codes, in order", "Missing: 100-102", "Wrong: none"};
        QTest::newRow("a wrong bit and codes lost: both causes, in one line")
            << "flip and drop" << 1
            << QStringList{"Missing: 100-102", "FAILED: wrong bits point at the wiring",
                           "a baud rate other than 38400; missing codes point at a loose contact "
                           "or a device in the loop that cannot keep up.\n"};
        QTest::newRow("unplugged after 100 codes")
            << "unplug" << 2
            << QStringList{"Run-time error 8015: Sending on serial port ", "(COM1) failed"};
        QTest::newRow("no such device")
            << "missing" << 2
            << QStringList{"Run-time error 8002: Serial port /nonexistent/zerbo-cable (COM1) "
                           "was not found"};
    }
    void faultsAreReported() {
        QFETCH(QString, fault);
        QFETCH(int, exitCode);
        QFETCH(QStringList, says);
        PtyPair line;
        const QString device =
            fault == "missing" ? QStringLiteral("/nonexistent/zerbo-cable") : line.slavePath();
        const Run run = cableTest(device, fault == "missing" ? nullptr : &line,
                                  [&fault](PtyPair& wire, QByteArray codes) {
                                      if (fault == "silent")
                                          return;
                                      codes[65] =
                                          fault.startsWith("flip") ? char(65 ^ 0b10) : codes[65];
                                      if (fault.endsWith("drop"))
                                          codes.remove(100, 3);
                                      QByteArray back;
                                      for (char code : codes)
                                          back += QByteArray(fault == "double" ? 2 : 1, code);
                                      if (fault == "unplug")
                                          back.truncate(100);
                                      // In pieces, as a line delivers them, not all in one read.
                                      for (qsizetype at = 0; at < back.size(); at += 64) {
                                          wire.write(back.mid(at, 64));
                                          QThread::msleep(5);
                                      }
                                      if (fault == "unplug")
                                          wire.closeMaster();
                                  });
        QCOMPARE(run.exitCode, exitCode);
        for (const QString& text : says)
            QVERIFY2(run.output.contains(text), qPrintable(run.output));
        QVERIFY2(run.wallMs < 3000, qPrintable(QString::number(run.wallMs)));
    }
};

QTEST_MAIN(LoopbackTest)
#include "tst_loopback.moc"
