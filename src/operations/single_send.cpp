// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/single_send.h"

#include "base/yield.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/slot_style.h"
#include "operations/send_byte.h"
#include "serial/comm_control.h"

#include <QLineEdit>

// Arrow presses queued faster than they are handled nest inside each other's
// yields, the latest innermost. The bytes still go out in key order (the
// first activation to reach its send sends every earlier code still due), and
// only the latest activation shows its code, so that the display, the green
// slot and the focus agree when the nest has unwound.
void SingleSend::optS_Click(int Index) {
    const unsigned long ticket = order_.begin(Index);
    enterTransmitMode();
    yieldToEvents();
    const std::vector<int> due = order_.takeDue(ticket);
    if (due.empty())
        return; // a later press sent this code in its turn and shows its own
    port_.openSequence();
    if (order_.latest(ticket))
        form_.showCodeText(Index);
    for (const int code : due)
        sendByte(port_, code);
    if (order_.latest(ticket))
        showSent(Index);
}

// Selecting optTxD also clears the slot's own selection, so the same slot can
// be clicked again; its handler clears the indicators, which are set after it.
void SingleSend::enterTransmitMode() {
    form_.options()->select(form_.optTxD());
    form_.showPortOpen(true, true);
}

void SingleSend::showSent(int code) {
    markCurrentSlot(form_, code);
    ShowBitPattern(form_, code);
    // Yields once the row is complete: a slot picked meanwhile then shows its
    // own code last, matching txtO.
    yieldToEvents();
}
