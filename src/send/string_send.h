#pragma once

class CommControl;
class FrmAscii;

// "Send": sends the text of txtS character by character, with the pause of
// txtTime before each.
class StringSend {
public:
    StringSend(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    void cmdSend_Click();

private:
    FrmAscii& form_;
    CommControl& port_;
};
