// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/pacer.h"

#include "base/yield.h"

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <time.h>

namespace {
// The end of a long pause is slept, not waited on events: a handler that
// runs then would delay the byte.
constexpr auto SleptTail = std::chrono::milliseconds(50);

// steady_clock is CLOCK_MONOTONIC on Linux; sleeping to an absolute time
// keeps a late wake-up from adding to the next pause.
void sleepUntil(Pacer::Clock::time_point until) {
    const auto sinceEpoch = until.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    timespec deadline{};
    deadline.tv_sec = static_cast<time_t>(seconds.count());
    deadline.tv_nsec = static_cast<long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch - seconds).count());
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

// Handles events until SleptTail before the deadline; the caller sleeps the
// rest. False when endsEarly cut the wait short.
bool waitOnEventsUntil(Pacer::Clock::time_point until, const std::function<bool()>& endsEarly) {
    const auto early = until - SleptTail;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(early - Pacer::Clock::now());
    bool woke = false;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, [&woke] { woke = true; });
    wake.start(int(std::clamp<long long>(left.count(), 0, INT_MAX)));
    while (!woke) {
        if (endsEarly && endsEarly())
            return false;
        waitForEvents();
    }
    return !(endsEarly && endsEarly());
}
} // namespace

void Pacer::pause(const std::function<void()>& showPending, long long milliseconds,
                  const std::function<bool()>& endsEarly) {
    if (milliseconds <= 0) {
        due_ = lastSent_;
        return;
    }
    // The window shows the byte while the pause runs.
    if (showPending)
        showPending();
    const auto next =
        std::max(due_, lastSent_ - LateSlack) + std::chrono::milliseconds(milliseconds);
    if (milliseconds > LongPauseMs && !waitOnEventsUntil(next, endsEarly)) {
        due_ = Clock::now();
        return;
    }
    sleepUntil(next);
    due_ = next;
}
