// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmAscii;
class ContinuousSend;

// "New": empties the table and the displays around it.
class TableReset {
public:
    TableReset(FrmAscii& form, ContinuousSend& continuousSend)
        : form_(form), continuousSend_(continuousSend) {}

    void cmdNew_Click();

private:
    void reset();

    FrmAscii& form_;
    ContinuousSend& continuousSend_;
    bool running_ = false;
};
