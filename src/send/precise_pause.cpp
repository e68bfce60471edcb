#include "send/precise_pause.h"

#include <thread>

namespace {
// Longer than the usual lateness of a wake-up, short enough to cost little CPU.
constexpr std::chrono::microseconds ClockWatch{500};
} // namespace

void pauseUntil(std::chrono::steady_clock::time_point deadline) {
    using Clock = std::chrono::steady_clock;
    if (deadline - Clock::now() > ClockWatch)
        std::this_thread::sleep_until(deadline - ClockWatch);
    while (Clock::now() < deadline) {
    }
}
