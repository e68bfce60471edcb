// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/single_send.h"

#include "base/yield.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/slot_style.h"
#include "operations/send_byte.h"
#include "serial/comm_control.h"

#include <QCheckBox>
#include <QLineEdit>

void SingleSend::optS_Click(int Index) {
    enterTransmitMode();
    yieldToEvents();
    port_.openSequence(SendInputLength);
    form_.txtO->setText(codeText(Index));
    sendByte(port_, Index);
    showSent(Index);
}

// Selecting optTxD also clears the slot's own selection, so the same slot can
// be clicked again; its handler clears the indicators, which are set after it.
void SingleSend::enterTransmitMode() {
    form_.options->select(form_.optTxD);
    form_.chkOpen->setEnabled(true);
    form_.chkOpen->setChecked(true);
    form_.chkClosed->setEnabled(true);
    form_.chkClosed->setChecked(false);
}

void SingleSend::showSent(int code) {
    markCurrentSlot(form_, code);
    ShowBitPattern(form_, code);
    // Yields once the row is complete: a slot picked meanwhile then shows its
    // own code last, matching txtO.
    yieldToEvents();
}
