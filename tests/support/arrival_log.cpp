// SPDX-License-Identifier: GPL-3.0-or-later
#include "arrival_log.h"

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

ArrivalLog::ArrivalLog(PtyPair& board)
    : fd_(board.masterFd()), reader_([this](std::stop_token stop) { read(stop); }) {
}

// Polls with a short timeout only to notice the stop; it sleeps meanwhile.
void ArrivalLog::read(std::stop_token stop) {
    // Where allowed, the reader runs before ordinary threads, so that a busy
    // machine does not delay the times it notes (a board would note them in
    // hardware); elsewhere it reads as an ordinary thread.
    const sched_param first{1};
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &first);
    while (!stop.stop_requested()) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 20);
        if (ready > 0 && !(p.revents & POLLIN))
            return; // the line is gone
        if (ready <= 0)
            continue;
        char buf[512];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        const Clock::time_point now = Clock::now();
        if (n <= 0)
            continue;
        std::lock_guard lock(mutex_);
        bytes_.append(buf, n);
        times_.insert(times_.end(), size_t(n), now);
        arrived_.notify_all();
    }
}

QByteArray ArrivalLog::bytes(qsizetype n, int timeoutMs) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [this, n] { return bytes_.size() >= n; });
    return bytes_;
}

QList<double> ArrivalLog::gapsMs(Clock::time_point from, const QByteArray& of) const {
    std::lock_guard lock(mutex_);
    QList<double> gaps;
    for (qsizetype i = 0; i < bytes_.size(); ++i) {
        if (!of.contains(bytes_[i]))
            continue;
        gaps << std::chrono::duration<double, std::milli>(times_[size_t(i)] - from).count();
        from = times_[size_t(i)];
    }
    return gaps;
}
