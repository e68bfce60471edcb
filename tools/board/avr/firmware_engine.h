// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "firmware_image.h"
#include "line_reframe.h"
#include "simulated_board.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

class VirtualLine;

// The board's firmware on a simulated chip, run at real-time pace and
// bridged to the virtual line: each byte the firmware sends reaches the
// program when its last bit would on a real line, each byte the program
// writes reaches the firmware's UART as its frame would. Where the program's
// rate differs from the firmware's, both sides get what real receivers would.
// With a bootloader, the chip restarts in it whenever DTR rises, as an
// Arduino Uno does on its USB cable.
class FirmwareEngine : public QObject {
    Q_OBJECT
public:
    // Throws std::runtime_error when the image cannot run.
    FirmwareEngine(VirtualLine& line, const FirmwareImage& image, const Chip& chip = atmega8(),
                   const FirmwareImage* bootloader = nullptr, QObject* parent = nullptr);
    ~FirmwareEngine() override;

    // Holds key 1 down for 50 ms of simulated time.
    void press();
    // "firmware NAME on a simulated ATmega8 at 8 MHz"; with a bootloader
    // file, "... ATmega328P (Arduino Uno) at 16 MHz, bootloader NAME".
    static QString describe(const QString& file, const FirmwareImage& image, const Chip& chip,
                            const QString& bootloaderFile = {});

signals:
    // DTR rose and the chip restarted in its bootloader.
    void reset();
    // The seconds are simulated time plus the real time skipped after falling behind.
    void ledsChanged(unsigned char leds, double boardSeconds);
    // A byte the firmware's UART received (what it made of the program's).
    void received(unsigned char byte);
    void tableSent();
    void fellBehind(double skippedMs);

private:
    void advance();
    void runTo(SimulatedBoard::Cycle target);
    void fromProgram(const QByteArray& bytes);
    // A byte from the program onto the line to the chip, from cycle now on.
    void toLine(unsigned char byte, double now);
    void transmitted(std::uint8_t byte, SimulatedBoard::Cycle at);
    void deliverDue(SimulatedBoard::Cycle now);
    void injectDue(SimulatedBoard::Cycle now);
    void toProgram(std::uint8_t byte, bool framingError);
    void sendBatch();
    void syncRates();
    double programBitCycles() const;

    VirtualLine& line_;
    SimulatedBoard board_;
    QTimer tick_;
    QElapsedTimer clock_;
    double cyclesPerNs_;
    qint64 lostNs_ = 0; // real time the simulator skipped after falling behind
    SimulatedBoard::Cycle keyUpAt_ = 0;
    bool holder_ = false;
    bool hasBootloader_;
    int programBaud_ = 0;
    SimulatedBoard::Cycle firmwareFrame_ = 0;
    // Board to program: frames on the line, each due when its stop bit ends.
    struct Pending {
        std::uint8_t byte;
        double due;
    };
    std::deque<Pending> outgoing_;
    double outLineFree_ = 0;
    double tableEndsAt_ = 0; // 0: no table going out
    // Program to board: frames whose start bit reaches RXD at the cycle given.
    std::deque<Pending> incoming_;
    QByteArray batch_; // due for the program, written at the end of a step
    double inLineFree_ = 0;
    // Set while the two rates differ.
    std::unique_ptr<LineReframe> toProgramLine_;
    std::unique_ptr<LineReframe> toBoardLine_;
};
