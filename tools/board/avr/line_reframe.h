// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

// What a UART receiver at one rate makes of 8N1 frames sent at another, as
// on a real line: it waits for a falling edge, checks the start bit at its
// middle, samples eight data bits and the stop bit at its own bit time. Wrong
// bytes and framing errors (a low stop bit) follow from the waveform. Times
// are in cycles of the board's clock.
class LineReframe {
public:
    struct Received {
        std::uint8_t byte;
        bool framingError;
        double start; // the start bit's falling edge
    };

    LineReframe(double senderBitCycles, double receiverBitCycles)
        : sendBit_(senderBitCycles), receiveBit_(receiverBitCycles) {}

    // Frames in the order sent; a frame starts once the one before has ended.
    void send(std::uint8_t byte, double earliestStart);
    // The frames the receiver has finished by the time now.
    std::vector<Received> receivedUntil(double now);
    double lineFreeAt() const { return lineFree_; }
    // When the receiver will have finished the next frame (negative: none sent).
    double nextReceivedAt() const;

private:
    int level(double at) const;
    double nextFallingEdge(double from) const; // negative: none yet

    struct Frame {
        double start;
        std::uint8_t byte;
    };
    double sendBit_;
    double receiveBit_;
    std::deque<Frame> frames_;
    double lineFree_ = 0;
    double searchFrom_ = 0;
};
