// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware on the simulated ATmega8 and ATmega328P, in simulated time:
// key 1 sends the table at the real byte time, and the LEDs show what goes
// out and comes in.
#include "firmware_image.h"
#include "simulated_board.h"

#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <vector>

namespace {
struct Event {
    std::uint8_t byte;
    SimulatedBoard::Cycle at;
};

QString image(const char* name) {
    return QStringLiteral(ZERBO_FIRMWARE_DIR "/%1").arg(name);
}

// The image on its chip, recording what it sends and what its LEDs show;
// ms: its cycles in a millisecond.
struct RecordingBoard {
    explicit RecordingBoard(const QString& file, const char* mcu = "atmega8")
        : board(readFirmwareImage(file.toStdString(), *findChip(mcu)), *findChip(mcu)) {
        board.onTransmit = [this](std::uint8_t b, SimulatedBoard::Cycle at) {
            sent.push_back({b, at});
        };
        board.onLeds = [this](std::uint8_t b, SimulatedBoard::Cycle at) {
            leds.push_back({b, at});
        };
    }
    void runFor(int n) { board.runUntil(board.cycle() + n * ms); }
    SimulatedBoard board;
    const SimulatedBoard::Cycle ms = board.clockHz() / 1000;
    std::vector<Event> sent, leds;
};

// Why the image was refused, or "accepted".
QString refusal(const QString& path, const char* mcu = "atmega8") {
    try {
        readFirmwareImage(path.toStdString(), *findChip(mcu));
        return QStringLiteral("accepted");
    } catch (const std::runtime_error& error) {
        return QString::fromUtf8(error.what());
    }
}
} // namespace

class FirmwareTable : public QObject {
    Q_OBJECT
private slots:
    // Each image small, built for its clock at 38400 baud; the byte time from
    // UBRR (and U2X) as the firmware set them: the simulator's own is wrong with parity on.
    void keyOneSendsTheTableAtTheRealByteTime_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("mcu");
        QTest::addColumn<unsigned>("clockHz");
        QTest::addColumn<double>("baud");
        QTest::newRow("8 MHz internal RC: 2080 cycles a byte")
            << image("zerbo-board.hex") << "atmega8" << 8000000u << 8000000.0 / 208;
        QTest::newRow("7.3728 MHz crystal: 1920 cycles a byte")
            << image("zerbo-board-crystal.hex") << "atmega8" << 7372800u << 38400.0;
        QTest::newRow("Uno, 16 MHz: 4160 cycles a byte, 38461.5 baud")
            << image("zerbo-board-uno.hex") << "atmega328p" << 16000000u << 16000000.0 / 416;
    }
    void keyOneSendsTheTableAtTheRealByteTime() {
        QFETCH(QString, file);
        QFETCH(QString, mcu);
        QFETCH(unsigned, clockHz);
        QFETCH(double, baud);
        const FirmwareImage firmware =
            readFirmwareImage(file.toStdString(), *findChip(mcu.toStdString()));
        // 1 KiB of the ATmega8's 8 KiB (and of the ATmega328P's 32 KiB).
        QVERIFY2(firmware.flash.size() <= 1024, qPrintable(QString::number(firmware.flash.size())));
        QVERIFY(firmware.hasBoardId);
        QCOMPARE(firmware.clockHz, clockHz);
        QCOMPARE(firmware.baud, 38400u);
        RecordingBoard b(file, qPrintable(mcu));
        b.board.runUntil(5 * b.ms); // key 1 down at 5 ms for 30 ms
        b.board.setKeyDown(true);
        b.runFor(30);
        b.board.setKeyDown(false);
        b.board.runUntil(150 * b.ms);
        const SimulatedBoard& board = b.board;
        const std::vector<Event>& sent = b.sent;
        const double bytesPerSecond = baud / 10;
        QCOMPARE(sent.size(), size_t(256));
        const double byteCycles = board.clockHz() / bytesPerSecond;
        const double bitCycles = byteCycles / 10;
        for (size_t i = 0; i < sent.size(); ++i) {
            QCOMPARE(sent[i].byte, std::uint8_t(i));
            if (i > 0) {
                const double gap = double(sent[i].at - sent[i - 1].at);
                QVERIFY2(qAbs(gap - byteCycles) <= bitCycles,
                         qPrintable(QStringLiteral("byte %1: %2 cycles").arg(i).arg(gap)));
            }
        }
        // First start bit to last stop bit: 256 frames.
        const double tableMs =
            (double(sent.back().at - sent.front().at) + byteCycles) * 1000.0 / board.clockHz();
        const double expectedMs = 256 * 1000.0 / bytesPerSecond;
        qInfo("table in %.2f ms of simulated time (expected %.2f)", tableMs, expectedMs);
        QVERIFY2(qAbs(tableMs - expectedMs) <= expectedMs * 0.01,
                 qPrintable(QString::number(tableMs)));
        QVERIFY2(qAbs(tableMs - 66.7) <= 0.667, qPrintable(QString::number(tableMs)));
        QCOMPARE(double(board.frameCycles()), byteCycles);
        QCOMPARE(board.uartBaud(), baud);
        // The LEDs showed each code as it went out, in order.
        std::vector<std::uint8_t> shown;
        for (const Event& led : b.leds)
            if (led.at >= sent.front().at)
                shown.push_back(led.byte);
        QCOMPARE(shown.size(), size_t(256));
        for (size_t i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i], std::uint8_t(i));
    }

    // A held key sends once; a bounce shorter than the debounce time not at all.
    void keyIsDebounced() {
        RecordingBoard b(image("zerbo-board.hex"));
        b.board.runUntil(5 * b.ms);
        for (int bounce = 0; bounce < 5; ++bounce) { // 1 ms down, 1 ms up
            b.board.setKeyDown(true);
            b.runFor(1);
            b.board.setKeyDown(false);
            b.runFor(1);
        }
        b.runFor(100);
        QCOMPARE(b.sent.size(), size_t(0));
        b.board.setKeyDown(true);
        b.runFor(300);
        QCOMPARE(b.sent.size(), size_t(256));
    }

    // Held from power-on, through the firmware setting its pull-up and every
    // LED write to the same port: seen all the same, and sent once.
    void keyHeldFromPowerOnSendsOnce() {
        RecordingBoard b(image("zerbo-board.hex"));
        b.board.setKeyDown(true);
        b.board.runUntil(300 * b.ms);
        QCOMPARE(b.sent.size(), size_t(256));
    }

    // A reset clears the pin registers; the key, not pressed, must read up
    // again once the firmware sets its pull-up, or it would send by itself.
    void keyReadsUpAfterAReset() {
        RecordingBoard b(image("zerbo-board-uno.hex"), "atmega328p");
        b.board.runUntil(5 * b.ms);
        b.board.resetExternally();
        b.runFor(100);
        QCOMPARE(b.sent.size(), size_t(0));
        b.board.setKeyDown(true);
        b.runFor(100);
        QCOMPARE(b.sent.size(), size_t(256));
    }

    void pauseBuildSpacesTheBytes() {
        RecordingBoard b(image("zerbo-board-pause5.hex"));
        b.board.runUntil(5 * b.ms);
        b.board.setKeyDown(true);
        b.board.runUntil(100 * b.ms);
        const std::vector<Event>& sent = b.sent;
        const auto ms = b.ms;
        QVERIFY(sent.size() >= 10);
        for (size_t i = 1; i < sent.size(); ++i) {
            QCOMPARE(sent[i].byte, std::uint8_t(i));
            QVERIFY(qAbs(double(sent[i].at - sent[i - 1].at) - 5.0 * ms) <= 1.0 * ms);
        }
    }

    void receivedBytesLightTheLeds() {
        RecordingBoard b(image("zerbo-board.hex"));
        b.board.runUntil(5 * b.ms);
        std::vector<Event>& leds = b.leds;
        leds.clear();
        for (const std::uint8_t byte : {9, 9, 9, 0, 255, 65}) {
            const auto start = b.board.cycle();
            b.board.receive(byte);
            b.runFor(1);
            QCOMPARE(leds.size() > 0, true);
            QCOMPARE(leds.back().byte, byte);
            // Shown once its frame has arrived (2080 cycles), not before.
            QVERIFY(leds.back().at >= start + 2080);
            leds.clear();
        }
    }

    // Each written to a file of its own; then the build's images on the other chip.
    void badImagesAreRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mcu");
        QTest::addColumn<QString>("reason");
        const struct {
            const char *row, *text, *mcu, *reason;
        } written[] = {
            {"not hex", "hello\n", "atmega8", "not an Intel hex record"},
            {"empty", "", "atmega8", "no hex records"},
            {"bad checksum", ":020000000C9463\n:00000001FF\n", "atmega8", "corrupt"},
            {"two chunks", ":020000000FC02F\n:02100000FFCF20\n:00000001FF\n", "atmega8",
             "2 separate chunks"},
            {"JMP vector", ":040000000C94340028\n:00000001FF\n", "atmega8", "bigger chip"},
            {"RJMP vector for the ATmega328P", ":020000000FC02F\n:00000001FF\n", "atmega328p",
             "smaller chip such as the ATmega8"},
        };
        for (const auto& bad : written) {
            const QString path = files_.filePath(bad.row);
            std::ofstream(path.toStdString()) << bad.text;
            QTest::newRow(bad.row) << path << bad.mcu << bad.reason;
        }
        QTest::newRow("the Uno's image on the ATmega8")
            << image("zerbo-board-uno.hex") << "atmega8"
            << "built for the ATmega328P, not for the ATmega8 that --mcu atmega8 simulates";
        QTest::newRow("the ATmega8A's image on the ATmega328P")
            << image("zerbo-board.hex") << "atmega328p"
            << "built for the ATmega8, not for the ATmega328P that --mcu atmega328p simulates";
    }
    void badImagesAreRefused() {
        QFETCH(QString, path);
        QFETCH(QString, mcu);
        QFETCH(QString, reason);
        const QString why = refusal(path, qPrintable(mcu));
        QVERIFY2(why.contains(reason), qPrintable(why));
    }

    void aMissingImageIsRefused() {
        const QString why = refusal("/nonexistent/zerbo-board.hex");
        QVERIFY2(why.contains("cannot open"), qPrintable(why));
    }

private:
    QTemporaryDir files_;
};

QTEST_GUILESS_MAIN(FirmwareTable)
#include "tst_firmware_table.moc"
