// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Marks an operation as running for as long as the guard lives, so that a
// click handled in one of its yields cannot start it a second time inside
// itself:
//
//     if (auto busy = BusyGuard::tryEnter(running_))
//         run();
class BusyGuard {
public:
    // Engaged (true) when the operation was not running; empty when it was.
    [[nodiscard]] static BusyGuard tryEnter(bool& running) { return BusyGuard(running, !running); }
    ~BusyGuard() {
        if (engaged_)
            running_ = false;
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    explicit operator bool() const { return engaged_; }

private:
    BusyGuard(bool& running, bool engaged) : running_(running), engaged_(engaged) {
        if (engaged_)
            running_ = true;
    }

    bool& running_;
    bool engaged_;
};
