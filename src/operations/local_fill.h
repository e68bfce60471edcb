// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommControl;
class FrmAscii;
class PacedSend;

// "Man": fills the table without the board, code by code, writing each code
// to the port with the pause of txtTime after it.
class LocalFill {
public:
    LocalFill(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    void cmdMan_Click();

private:
    void fill();
    void fillSlot(int code, PacedSend& paced);

    FrmAscii& form_;
    CommControl& port_;
    bool running_ = false;
};
