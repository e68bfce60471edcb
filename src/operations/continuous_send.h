// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

class CommControl;
class FrmAscii;
class PacedSend;

// "Send current sign continuously" repeats the code of txtO, one byte per
// pass, until "Stop sending the sign".
class ContinuousSend {
public:
    ContinuousSend(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    void cmdSendC_Click();
    void cmdStopC_Click();

    // Asks a running send to stop at its next pass (New stops it too).
    void requestStop() { stopRequested_ = true; }
    // A stop asked for while no send ran must not end the next one.
    void withdrawStopRequest() { stopRequested_ = false; }

private:
    void run();
    void prepare();
    // One byte; false when the send ends (stopped or code rejected).
    bool pass(PacedSend& paced);
    // The code of txtO, or nothing when it is empty or outside 0..255.
    std::optional<int> codeToSend() const;
    void rejectCode();
    void finishStop();

    FrmAscii& form_;
    CommControl& port_;
    bool running_ = false;
    bool stopRequested_ = false;
};
