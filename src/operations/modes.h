// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmAscii;

// The mode buttons choose what the next Com1 does: receive the table (RxD)
// or prepare for sending (TxD).
class Modes {
public:
    explicit Modes(FrmAscii& form) : form_(form) {}

    void optRxD_Click();
    void optTxD_Click();

private:
    void enableCommands();

    FrmAscii& form_;
};
