// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmAscii;

// The "# 000-032 True ZERBO" box: names the control codes 0 to 32 in their
// slots by their abbreviations. It acts as a push button: checked while it
// writes, unchecked again at the end.
class ControlCodeNames {
public:
    explicit ControlCodeNames(FrmAscii& form) : form_(form) {}

    void chkA_Click();

private:
    FrmAscii& form_;
};
