// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

class CommControl;
class FrmAscii;
class Pacer;
struct ProgramState;

// "Send current sign continuously" repeats the code of txtO, one byte per
// pass, until "Stop sending the sign".
class ContinuousSend {
public:
    ContinuousSend(FrmAscii& form, CommControl& port, ProgramState& state)
        : form_(form), port_(port), state_(state) {}

    void cmdSendC_Click();
    void cmdStopC_Click();

private:
    void prepare();
    // One byte; false when the send ends (stopped or code rejected).
    bool pass(Pacer& pacer);
    // The code of txtO, or nothing when it is empty or outside 0..255.
    std::optional<int> codeToSend() const;
    void rejectCode();
    void finishStop();

    FrmAscii& form_;
    CommControl& port_;
    ProgramState& state_;
    bool running_ = false;
};
