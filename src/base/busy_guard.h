// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Marks an operation as running for as long as the guard lives, so that a
// click handled in one of its yields cannot start it a second time inside itself.
class BusyGuard {
public:
    explicit BusyGuard(bool& running) : running_(running) { running_ = true; }
    ~BusyGuard() { running_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& running_;
};
