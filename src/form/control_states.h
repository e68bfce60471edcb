// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmAscii;

// The named states of the main window's controls. Each operation switches
// into one at its start, and most back to Ready at their end.
enum class ControlState {
    Ready,
    ReadyAfterReception,
    Receiving,
    SendReady,
    Filling,
    Resetting,
    StringSending,
    ContinuousSending,
    // The end of a string send: Ready, but transmit mode stays selected and
    // the slot buttons keep their state.
    StringSent, // the last: ControlStateCount follows it
};
constexpr int ControlStateCount = static_cast<int>(ControlState::StringSent) + 1;

// Writes the state's values in a fixed order: display options, optTxD,
// optRxD, chkOpen, chkClosed (each enabled first, then its value), the
// command buttons, and the slot buttons last. No handler and no event runs
// in between: a mode button selected here does not run its handler, whose
// settings the row makes itself, and the events wait for the operation's next
// yield. The rows are the only writer of the slot buttons' enabled state.
void enterState(FrmAscii& form, ControlState state);
