#pragma once

class CommControl;
class FrmAscii;
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
    FrmAscii& form_;
    CommControl& port_;
    ProgramState& state_;
};
