#pragma once

#include <chrono>

// Blocks the thread until the deadline. The sleep of the system wakes a
// tenth of a millisecond or more late; the last stretch is waited out on the
// clock, so the pause ends within microseconds of the deadline.
void pauseUntil(std::chrono::steady_clock::time_point deadline);
