// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pty_pair.h"

#include <QByteArray>
#include <QList>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// The board's end of the line read by a thread of its own, each byte noted
// with the time it arrived: a pause blocks the thread the test runs on, which
// could not take the times itself. Nothing else may read the board meanwhile.
class ArrivalLog {
public:
    using Clock = std::chrono::steady_clock;

    // Reads from now until the log is destroyed.
    explicit ArrivalLog(PtyPair& board);

    // Waits until n bytes have arrived or timeoutMs passed; all that arrived.
    QByteArray bytes(qsizetype n = 0, int timeoutMs = 0);
    // Milliseconds between the arrivals of the bytes that are in `of`, the
    // first counted from `from`.
    QList<double> gapsMs(Clock::time_point from, const QByteArray& of) const;

private:
    void read(std::stop_token stop);

    int fd_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    QByteArray bytes_;
    std::vector<Clock::time_point> times_;
    std::jthread reader_; // last: stopped and joined first
};
