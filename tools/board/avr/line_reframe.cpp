// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_reframe.h"

#include <algorithm>
#include <cmath>

void LineReframe::send(std::uint8_t byte, double earliestStart) {
    const double start = std::max(earliestStart, lineFree_);
    frames_.push_back({start, byte});
    lineFree_ = start + 10 * sendBit_;
}

// Idle and stop bits are high, the start bit low, data bits LSB first.
int LineReframe::level(double at) const {
    for (const Frame& frame : frames_) {
        if (at < frame.start)
            break;
        const int bit = int(std::floor((at - frame.start) / sendBit_));
        if (bit >= 10)
            continue;
        if (bit == 0)
            return 0;
        return bit == 9 ? 1 : (frame.byte >> (bit - 1)) & 1;
    }
    return 1;
}

// From the bits themselves, not by probing the level on either side: at
// cycle counts of hundreds of millions, a probe a hair before an edge can
// round onto it.
double LineReframe::nextFallingEdge(double from) const {
    for (const Frame& frame : frames_) {
        const auto bitLevel = [&frame](int bit) {
            return bit == 0 ? 0 : bit == 9 ? 1 : (frame.byte >> (bit - 1)) & 1;
        };
        for (int bit = 0; bit < 10; ++bit) {
            const double at = frame.start + bit * sendBit_;
            // Before a start bit the line is high: idle, or the stop bit before.
            if (at >= from && bitLevel(bit) == 0 && (bit == 0 || bitLevel(bit - 1) == 1))
                return at;
        }
    }
    return -1;
}

double LineReframe::nextReceivedAt() const {
    const double edge = nextFallingEdge(searchFrom_);
    return edge < 0 ? -1 : edge + 9.5 * receiveBit_;
}

std::vector<LineReframe::Received> LineReframe::receivedUntil(double now) {
    std::vector<Received> received;
    for (;;) {
        const double edge = nextFallingEdge(searchFrom_);
        if (edge < 0 || edge + 9.5 * receiveBit_ > now)
            break;
        if (level(edge + 0.5 * receiveBit_) == 1) { // a glitch, not a start bit
            searchFrom_ = edge + 0.5 * receiveBit_;
            continue;
        }
        std::uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit)
            byte |= std::uint8_t(level(edge + (1.5 + bit) * receiveBit_) << bit);
        received.push_back({byte, level(edge + 9.5 * receiveBit_) == 0, edge});
        searchFrom_ = edge + 9.5 * receiveBit_;
    }
    while (!frames_.empty() && frames_.front().start + 10 * sendBit_ < searchFrom_)
        frames_.pop_front();
    return received;
}
