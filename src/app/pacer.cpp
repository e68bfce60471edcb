#include "app/pacer.h"

#include <QWidget>
#include <cerrno>
#include <time.h>

namespace {
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
} // namespace

void Pacer::pause(QWidget& window, long long milliseconds) {
    if (milliseconds <= 0) {
        due_ = lastSent_;
        return;
    }
    // An immediate repaint of one pixel paints everything else that is due as
    // well, so the window shows the byte while the pause runs.
    if (window.isVisible())
        window.repaint(0, 0, 1, 1);
    const auto pause = std::chrono::milliseconds(milliseconds);
    auto next = due_ + pause;
    if (next < Clock::now())
        next = lastSent_ + pause;
    sleepUntil(next);
    due_ = next;
}
