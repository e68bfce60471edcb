#pragma once

class CommControl;
class FrmAscii;

// A slot button sends its code as one byte and shows it.
class SingleSend {
public:
    SingleSend(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    void optS_Click(int Index);

private:
    FrmAscii& form_;
    CommControl& port_;
};
