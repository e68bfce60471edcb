// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>

// Paces the bytes an operation writes, so that the board sees the pause the
// user asked for between two bytes: each pause ends when the previous byte's
// slot plus the pause is due, not after the time the step took to update the
// window and the thread took to wake up. When a byte went out more than
// LateSlack after it was due (a nested handler ran in its step), the pause
// counts from that byte less the slack: a late step cannot shorten the gap
// after it by more than LateSlack.
//
// A pause up to LongPauseMs blocks: clicks and keys wait for the operation's
// next yield, so the bytes keep their order and spacing. A longer one would
// freeze the window (a typed "1e400" means 24 days), so it waits on events
// instead: the window repaints, handlers run nested as they do in a yield,
// and endsEarly may cut it short.
class Pacer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr long long LongPauseMs = 2000;
    static constexpr auto LateSlack = std::chrono::milliseconds(1);

    Pacer() : due_(Clock::now()), lastSent_(due_) {}

    // A byte has just gone out.
    void sent() { lastSent_ = Clock::now(); }

    // Calls showPending (which brings the window's pending repaints to the
    // screen), then sleeps until the next byte is due, the given milliseconds
    // after the last one.
    void pause(const std::function<void()>& showPending, long long milliseconds,
               const std::function<bool()>& endsEarly = {});

private:
    Clock::time_point due_;
    Clock::time_point lastSent_;
};
