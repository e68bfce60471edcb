// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <vector>

// The slot activations in the order they began, that is in the order of the
// key presses and clicks. A later activation runs nested inside the yields of
// an earlier one and reaches its send first; it then sends the earlier codes
// before its own, so the line keeps the order of the keys, one byte each.
class SlotOrder {
public:
    // An activation begins, before its first yield; the ticket names it.
    unsigned long begin(int code) {
        pending_.push_back(code);
        return ++begun_;
    }
    // No activation began after this one: its code is the one to show.
    bool latest(unsigned long ticket) const { return ticket == begun_; }
    // The codes still unsent of this activation and those before it, oldest
    // first; empty when a later one has sent them all.
    std::vector<int> takeDue(unsigned long ticket) {
        std::vector<int> due;
        for (; sent_ < ticket; ++sent_) {
            due.push_back(pending_.front());
            pending_.pop_front();
        }
        return due;
    }

private:
    std::deque<int> pending_; // codes of tickets sent_ + 1 .. begun_
    unsigned long begun_ = 0;
    unsigned long sent_ = 0;
};
