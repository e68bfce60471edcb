// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/pacer.h"
#include "form/show_pending.h"

#include <functional>

class CommControl;
class QWidget;

// The bytes of a send that paces them: each step pauses, then puts its byte on
// the line and counts the next pause from it. Whether the port is opened again
// when something that ran in the step's yield or pause closed it is the
// operation's choice.
class PacedSend {
public:
    enum class Reopen {
        IfClosed, // the string and continuous sends: the next byte still goes out
        Never,    // the fill: a port lost under it is reported at its next byte
    };

    PacedSend(CommControl& port, Reopen reopen) : port_(port), reopen_(reopen) {}

    // The pause before the next byte, the given milliseconds after the last one.
    void pause(QWidget& window, long long milliseconds,
               const std::function<bool()>& endsEarly = {}) {
        pacer_.pause([&window] { showPending(window); }, milliseconds, endsEarly);
    }
    // One byte (0..255) on the line, the port opened again first if need be.
    void send(int code);

private:
    CommControl& port_;
    Reopen reopen_;
    Pacer pacer_;
};
