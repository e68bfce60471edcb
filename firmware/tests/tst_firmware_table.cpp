// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware on the simulated ATmega8 and ATmega328P, in simulated time:
// key 1 sends the table at the real byte time, and the LEDs show what goes
// out and comes in.
#include "firmware_image.h"
#include "simulated_board.h"

#include <QDir>
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

// Press key 1 at 5 ms for 30 ms, then run for 150 ms of simulated time.
std::vector<Event> pressAndRecord(SimulatedBoard& board, std::vector<Event>* leds = nullptr) {
    std::vector<Event> sent;
    board.onTransmit = [&](std::uint8_t byte, SimulatedBoard::Cycle at) {
        sent.push_back({byte, at});
    };
    if (leds != nullptr)
        board.onLeds = [leds](std::uint8_t byte, SimulatedBoard::Cycle at) {
            leds->push_back({byte, at});
        };
    const auto ms = board.clockHz() / 1000;
    board.runUntil(5 * ms);
    board.setKeyDown(true);
    board.runUntil(35 * ms);
    board.setKeyDown(false);
    board.runUntil(150 * ms);
    return sent;
}

void writeFile(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString()) << text;
}
} // namespace

class FirmwareTable : public QObject {
    Q_OBJECT
private slots:
    void imageIsSmall_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("mcu");
        QTest::addColumn<unsigned>("clockHz");
        QTest::newRow("ATmega8A") << image("zerbo-board.hex") << "atmega8" << 8000000u;
        QTest::newRow("Uno") << image("zerbo-board-uno.hex") << "atmega328p" << 16000000u;
    }
    void imageIsSmall() {
        QFETCH(QString, file);
        QFETCH(QString, mcu);
        QFETCH(unsigned, clockHz);
        const FirmwareImage firmware =
            readFirmwareImage(file.toStdString(), *findChip(mcu.toStdString()));
        // Bound: 1 KiB of the ATmega8's 8 KiB (and of the ATmega328P's 32 KiB).
        QVERIFY2(firmware.flash.size() <= 1024, qPrintable(QString::number(firmware.flash.size())));
        QVERIFY(firmware.hasBoardId);
        QCOMPARE(firmware.clockHz, clockHz);
        QCOMPARE(firmware.baud, 38400u);
    }

    // The byte time comes from UBRR (and U2X) as the firmware set them, on
    // each chip: the simulator's own is wrong with parity on.
    void keyOneSendsTheTableAtTheRealByteTime_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("mcu");
        QTest::addColumn<double>("baud");
        QTest::newRow("8 MHz internal RC: 2080 cycles a byte")
            << image("zerbo-board.hex") << "atmega8" << 8000000.0 / 208;
        QTest::newRow("7.3728 MHz crystal: 1920 cycles a byte")
            << image("zerbo-board-crystal.hex") << "atmega8" << 38400.0;
        QTest::newRow("Uno, 16 MHz: 4160 cycles a byte, 38461.5 baud")
            << image("zerbo-board-uno.hex") << "atmega328p" << 16000000.0 / 416;
    }
    void keyOneSendsTheTableAtTheRealByteTime() {
        QFETCH(QString, file);
        QFETCH(QString, mcu);
        QFETCH(double, baud);
        const Chip& chip = *findChip(mcu.toStdString());
        const FirmwareImage firmware = readFirmwareImage(file.toStdString(), chip);
        SimulatedBoard board(firmware, chip);
        const double bytesPerSecond = baud / 10;
        std::vector<Event> leds;
        const auto sent = pressAndRecord(board, &leds);
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
        for (const Event& led : leds)
            if (led.at >= sent.front().at)
                shown.push_back(led.byte);
        QCOMPARE(shown.size(), size_t(256));
        for (size_t i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i], std::uint8_t(i));
    }

    // A held key sends once; a bounce shorter than the debounce time not at all.
    void keyIsDebounced() {
        SimulatedBoard board(readFirmwareImage(image("zerbo-board.hex").toStdString()));
        size_t sent = 0;
        board.onTransmit = [&](std::uint8_t, SimulatedBoard::Cycle) { ++sent; };
        const auto ms = board.clockHz() / 1000;
        board.runUntil(5 * ms);
        for (int bounce = 0; bounce < 5; ++bounce) { // 1 ms down, 1 ms up
            board.setKeyDown(true);
            board.runUntil(board.cycle() + ms);
            board.setKeyDown(false);
            board.runUntil(board.cycle() + ms);
        }
        board.runUntil(board.cycle() + 100 * ms);
        QCOMPARE(sent, size_t(0));
        board.setKeyDown(true);
        board.runUntil(board.cycle() + 300 * ms);
        QCOMPARE(sent, size_t(256));
    }

    // Held from power-on, through the firmware setting its pull-up and every
    // LED write to the same port: seen all the same, and sent once.
    void keyHeldFromPowerOnSendsOnce() {
        SimulatedBoard board(readFirmwareImage(image("zerbo-board.hex").toStdString()));
        size_t sent = 0;
        board.onTransmit = [&](std::uint8_t, SimulatedBoard::Cycle) { ++sent; };
        board.setKeyDown(true);
        board.runUntil(300 * (board.clockHz() / 1000));
        QCOMPARE(sent, size_t(256));
    }

    // A reset clears the pin registers; the key, not pressed, must read up
    // again once the firmware sets its pull-up, or it would send by itself.
    void keyReadsUpAfterAReset() {
        const Chip& uno = *findChip("atmega328p");
        SimulatedBoard board(readFirmwareImage(image("zerbo-board-uno.hex").toStdString(), uno),
                             uno);
        size_t sent = 0;
        board.onTransmit = [&](std::uint8_t, SimulatedBoard::Cycle) { ++sent; };
        const auto ms = board.clockHz() / 1000;
        board.runUntil(5 * ms);
        board.resetExternally();
        board.runUntil(board.cycle() + 100 * ms);
        QCOMPARE(sent, size_t(0));
        board.setKeyDown(true);
        board.runUntil(board.cycle() + 100 * ms);
        QCOMPARE(sent, size_t(256));
    }

    void pauseBuildSpacesTheBytes() {
        SimulatedBoard board(readFirmwareImage(image("zerbo-board-pause5.hex").toStdString()));
        std::vector<Event> sent;
        board.onTransmit = [&](std::uint8_t b, SimulatedBoard::Cycle at) {
            sent.push_back({b, at});
        };
        const auto ms = board.clockHz() / 1000;
        board.runUntil(5 * ms);
        board.setKeyDown(true);
        board.runUntil(100 * ms);
        QVERIFY(sent.size() >= 10);
        for (size_t i = 1; i < sent.size(); ++i) {
            QCOMPARE(sent[i].byte, std::uint8_t(i));
            QVERIFY(qAbs(double(sent[i].at - sent[i - 1].at) - 5.0 * ms) <= 1.0 * ms);
        }
    }

    void receivedBytesLightTheLeds() {
        SimulatedBoard board(readFirmwareImage(image("zerbo-board.hex").toStdString()));
        std::vector<Event> leds;
        board.onLeds = [&](std::uint8_t b, SimulatedBoard::Cycle at) { leds.push_back({b, at}); };
        const auto ms = board.clockHz() / 1000;
        board.runUntil(5 * ms);
        leds.clear();
        for (const std::uint8_t byte : {9, 9, 9, 0, 255, 65}) {
            const auto start = board.cycle();
            board.receive(byte);
            board.runUntil(start + ms);
            QCOMPARE(leds.size() > 0, true);
            QCOMPARE(leds.back().byte, byte);
            // Shown once its frame has arrived (2080 cycles), not before.
            QVERIFY(leds.back().at >= start + 2080);
            leds.clear();
        }
    }

    // text: the file's content; or an image of the build, by its name.
    void badImagesAreRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mcu");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not hex") << "hello\n"
                                 << "atmega8"
                                 << "not an Intel hex record";
        QTest::newRow("empty") << ""
                               << "atmega8"
                               << "no hex records";
        QTest::newRow("bad checksum") << ":020000000C9463\n:00000001FF\n"
                                      << "atmega8"
                                      << "corrupt";
        QTest::newRow("two chunks") << ":020000000FC02F\n:02100000FFCF20\n:00000001FF\n"
                                    << "atmega8"
                                    << "2 separate chunks";
        QTest::newRow("JMP vector") << ":040000000C94340028\n:00000001FF\n"
                                    << "atmega8"
                                    << "bigger chip";
        QTest::newRow("RJMP vector for the ATmega328P") << ":020000000FC02F\n:00000001FF\n"
                                                        << "atmega328p"
                                                        << "smaller chip such as the ATmega8";
        QTest::newRow("the Uno's image on the ATmega8")
            << "zerbo-board-uno.hex"
            << "atmega8"
            << "built for the ATmega328P, not for the ATmega8 that --mcu atmega8 simulates";
        QTest::newRow("the ATmega8A's image on the ATmega328P")
            << "zerbo-board.hex"
            << "atmega328p"
            << "built for the ATmega8, not for the ATmega328P that --mcu atmega328p simulates";
    }
    void badImagesAreRefused() {
        QFETCH(QString, text);
        QFETCH(QString, mcu);
        QFETCH(QString, reason);
        QString path = QDir::tempPath() + QStringLiteral("/zerbo-bad-image.hex");
        if (text.endsWith(QLatin1String(".hex")))
            path = image(qPrintable(text));
        else
            writeFile(path, text.toStdString());
        try {
            readFirmwareImage(path.toStdString(), *findChip(mcu.toStdString()));
            QFAIL("accepted");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(reason), error.what());
        }
        try {
            readFirmwareImage("/nonexistent/zerbo-board.hex");
            QFAIL("accepted a missing file");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains("cannot open"), error.what());
        }
    }
};

QTEST_GUILESS_MAIN(FirmwareTable)
#include "tst_firmware_table.moc"
