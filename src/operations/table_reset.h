// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmAscii;
struct ProgramState;

// "New": empties the table and the displays around it.
class TableReset {
public:
    TableReset(FrmAscii& form, ProgramState& state) : form_(form), state_(state) {}

    void cmdNew_Click();

private:
    void reset();

    FrmAscii& form_;
    ProgramState& state_;
    bool running_ = false;
};
