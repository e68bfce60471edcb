// SPDX-License-Identifier: GPL-3.0-or-later
#include "firmware_engine.h"

#include "virtual_line.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {
constexpr double KeyHoldMs = 50;
constexpr double MaxLagMs = 20; // further behind, the simulator skips instead of bursting
constexpr int BusyTickMs = 1;   // a byte reaches the program at most this late
constexpr int IdleTickMs = 10;
} // namespace

FirmwareEngine::FirmwareEngine(VirtualLine& line, const FirmwareImage& image, const Chip& chip,
                               const FirmwareImage* bootloader, QObject* parent)
    : QObject(parent), line_(line), board_(image, chip, bootloader),
      cyclesPerNs_(image.clockHz / 1e9), hasBootloader_(bootloader != nullptr) {
    board_.onTransmit = [this](std::uint8_t byte, SimulatedBoard::Cycle at) {
        transmitted(byte, at);
    };
    // On the board's clock: the time the simulator skipped counts, so that a
    // gap between two patterns is the real one, busy machine or not.
    board_.onLeds = [this](std::uint8_t leds, SimulatedBoard::Cycle at) {
        emit ledsChanged(leds, double(at) / board_.clockHz() + double(lostNs_) / 1e9);
    };
    connect(&line_, &VirtualLine::receivedTogether, this, &FirmwareEngine::fromProgram);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &FirmwareEngine::advance);
    tick_.start(IdleTickMs);
}

FirmwareEngine::~FirmwareEngine() = default;

QString FirmwareEngine::describe(const QString& file, const FirmwareImage& image, const Chip& chip,
                                 const QString& bootloaderFile) {
    const QString firmware = file.isEmpty()
                                 ? QStringLiteral("no firmware yet")
                                 : QStringLiteral("firmware %1").arg(QFileInfo(file).fileName());
    QString text = QStringLiteral("%1 on a simulated %2").arg(firmware, chip.title);
    if (&chip != &atmega8()) // the default board: its name would say nothing new
        text += QStringLiteral(" (%1)").arg(chip.board);
    text += QStringLiteral(" at %1").arg(QString::fromStdString(megahertz(image.clockHz)));
    if (!bootloaderFile.isEmpty())
        text += QStringLiteral(", bootloader %1").arg(QFileInfo(bootloaderFile).fileName());
    return text;
}

void FirmwareEngine::press() {
    advance();
    board_.setKeyDown(true);
    keyUpAt_ = board_.cycle() + SimulatedBoard::Cycle(KeyHoldMs * 1e6 * cyclesPerNs_);
    tick_.start(BusyTickMs);
}

void FirmwareEngine::advance() {
    if (!clock_.isValid()) // from the first tick: start-up is no lag to catch up
        clock_.start();
    const qint64 nowNs = clock_.nsecsElapsed() - lostNs_;
    auto target = SimulatedBoard::Cycle(double(nowNs) * cyclesPerNs_);
    const auto maxLag = SimulatedBoard::Cycle(MaxLagMs * 1e6 * cyclesPerNs_);
    if (target > board_.cycle() + maxLag) {
        // Running all the missed time at once would burst bytes onto the line.
        const double skippedMs = double(target - board_.cycle() - maxLag) / cyclesPerNs_ / 1e6;
        lostNs_ += qint64(skippedMs * 1e6);
        target = board_.cycle() + maxLag;
        emit fellBehind(skippedMs);
    }
    syncRates();
    runTo(target);
    sendBatch();
    const bool reframing = (toBoardLine_ && toBoardLine_->nextReceivedAt() >= 0) ||
                           (toProgramLine_ && toProgramLine_->nextReceivedAt() >= 0);
    const bool busy =
        !outgoing_.empty() || !incoming_.empty() || keyUpAt_ != 0 || reframing ||
        board_.cycle() < SimulatedBoard::Cycle(outLineFree_ + 10 * board_.frameCycles());
    const int interval = busy ? BusyTickMs : IdleTickMs;
    if (tick_.interval() != interval)
        tick_.start(interval);
}

void FirmwareEngine::runTo(SimulatedBoard::Cycle target) {
    while (board_.cycle() < target) {
        auto step = target;
        if (keyUpAt_ != 0)
            step = std::min(step, keyUpAt_);
        if (!incoming_.empty())
            step = std::min(step, SimulatedBoard::Cycle(std::max(0.0, incoming_.front().due)));
        // One frame at a time, as the line brings them: the UART holds only a few.
        if (toBoardLine_ && toBoardLine_->nextReceivedAt() >= 0)
            step = std::min(step, SimulatedBoard::Cycle(toBoardLine_->nextReceivedAt()) + 1);
        if (!outgoing_.empty())
            step = std::min(step, SimulatedBoard::Cycle(outgoing_.front().due) + 1);
        if (tableEndsAt_ > 0)
            step = std::min(step, SimulatedBoard::Cycle(tableEndsAt_) + 1);
        if (step <= board_.cycle())
            step = board_.cycle() + 1;
        if (!board_.runUntil(step)) {
            tick_.stop();
            std::fprintf(stderr, "zerbo-board: the firmware stopped (crashed, or slept with "
                                 "interrupts off); rebuild it with make firmware\n");
            return;
        }
        if (keyUpAt_ != 0 && board_.cycle() >= keyUpAt_) {
            board_.setKeyDown(false);
            keyUpAt_ = 0;
        }
        injectDue(board_.cycle());
        deliverDue(board_.cycle());
        if (tableEndsAt_ > 0 && double(board_.cycle()) >= tableEndsAt_) {
            tableEndsAt_ = 0;
            QTimer::singleShot(0, this, [this] { emit tableSent(); });
        }
    }
}

// Who holds the port and at what rate, checked as the line is used: the
// program reopens the port for every send.
void FirmwareEngine::syncRates() {
    if (line_.takeDtrRise() && hasBootloader_) {
        board_.resetExternally();
        emit reset();
    }
    const bool holder = line_.programHoldsPort();
    if (holder_ && !holder)
        line_.dropStale();
    holder_ = holder;
    line_.dropWhatACloseLeft();
    const int baud = line_.programBaud();
    if (baud == programBaud_ && board_.frameCycles() == firmwareFrame_)
        return;
    programBaud_ = baud;
    firmwareFrame_ = board_.frameCycles();
    const double firmwareBit = double(board_.frameCycles()) / 10;
    const double programBit = programBitCycles();
    if (firmwareBit > 0 && programBit > 0 && std::abs(programBit / firmwareBit - 1) > 0.005) {
        toProgramLine_ = std::make_unique<LineReframe>(firmwareBit, programBit);
        toBoardLine_ = std::make_unique<LineReframe>(programBit, firmwareBit);
    } else {
        toProgramLine_.reset();
        toBoardLine_.reset();
    }
}

double FirmwareEngine::programBitCycles() const {
    return programBaud_ > 0 ? double(board_.clockHz()) / programBaud_ : 0;
}

// The bytes of one read reached the line together: the chip runs up to now
// once, and they follow back to back from there. Running it up to each byte
// in turn spread them over the time each run took: on a busy machine, a
// page of 128 bytes over seconds.
void FirmwareEngine::fromProgram(const QByteArray& bytes) {
    advance();
    const double now = double(board_.cycle());
    for (const char byte : bytes)
        toLine(static_cast<unsigned char>(byte), now);
}

void FirmwareEngine::toLine(unsigned char byte, double now) {
    if (toBoardLine_) {
        toBoardLine_->send(byte, now);
        return;
    }
    const double frame =
        programBitCycles() > 0 ? 10 * programBitCycles() : double(board_.frameCycles());
    const double start = std::max(now, inLineFree_);
    inLineFree_ = start + frame;
    incoming_.push_back({byte, start});
}

void FirmwareEngine::injectDue(SimulatedBoard::Cycle now) {
    if (toBoardLine_)
        for (const auto& frame : toBoardLine_->receivedUntil(double(now))) {
            board_.receive(frame.byte, frame.framingError);
            emit received(frame.byte);
        }
    while (!incoming_.empty() && incoming_.front().due <= double(now)) {
        board_.receive(incoming_.front().byte);
        emit received(incoming_.front().byte);
        incoming_.pop_front();
    }
}

void FirmwareEngine::transmitted(std::uint8_t byte, SimulatedBoard::Cycle at) {
    const double frame = double(board_.frameCycles());
    const double start = std::max(double(at), outLineFree_);
    outLineFree_ = start + frame;
    if (toProgramLine_)
        toProgramLine_->send(byte, start);
    else
        outgoing_.push_back({byte, start + frame});
    if (byte == 255 && !board_.inBootloader()) // the table has gone once this frame's stop bit has
        tableEndsAt_ = start + frame;
}

void FirmwareEngine::deliverDue(SimulatedBoard::Cycle now) {
    if (toProgramLine_)
        for (const auto& frame : toProgramLine_->receivedUntil(double(now)))
            toProgram(frame.byte, frame.framingError);
    while (!outgoing_.empty() && outgoing_.front().due <= double(now)) {
        toProgram(outgoing_.front().byte, false);
        outgoing_.pop_front();
    }
}

// Nobody holding the port means nobody listening: a real line loses the byte.
void FirmwareEngine::toProgram(std::uint8_t byte, bool framingError) {
    if (!holder_)
        return;
    if (!framingError) {
        batch_.append(char(byte));
        return;
    }
    switch (line_.framingErrorHandling()) {
    case 'i':
        return;
    case 'm':
        batch_.append(QByteArray("\xff\x00", 2) + char(byte));
        return;
    default:
        batch_.append('\0');
    }
}

// The bytes that came due in one step of real time go out in one write:
// a write per byte would cost the kernel more than the whole simulation.
void FirmwareEngine::sendBatch() {
    if (batch_.isEmpty())
        return;
    line_.dropWhatACloseLeft();
    if (line_.programHoldsPort())
        line_.send(batch_);
    batch_.clear();
}
