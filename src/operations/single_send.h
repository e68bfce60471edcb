// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/slot_order.h"

class CommControl;
class FrmAscii;

// A slot button sends its code as one byte and shows it.
class SingleSend {
public:
    SingleSend(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    // Raised when optS(Index) becomes selected, by a click or an arrow key.
    // The focus is left on the slot, so the next arrow key goes on from it.
    void optS_Click(int Index);

private:
    void enterTransmitMode();
    void showSent(int code);

    FrmAscii& form_;
    CommControl& port_;
    SlotOrder order_;
};
