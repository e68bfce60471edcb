// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/local_fill.h"

#include "base/busy_guard.h"
#include "base/pacer.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/show_pending.h"
#include "form/slot_style.h"
#include "operations/pause_field.h"
#include "operations/send_byte.h"
#include "serial/comm_control.h"

#include <QLineEdit>

namespace {
constexpr int MinimumPause = 10;
}

void LocalFill::cmdMan_Click() {
    if (running_)
        return;
    BusyGuard busy(running_);

    // Before anything changes: a pause too long for the fill is reported, and the table stays.
    requirePauseFits(form_.txtTime);
    enterState(form_, ControlState::Filling);
    emptyTable(form_, false);
    applyPauseMinimum(form_.txtTime, MinimumPause);
    port_.openSequence(0);

    Pacer pacer;
    for (int code = 0; code < FrmAscii::SlotCount; ++code)
        fillSlot(code, pacer);

    port_.closePort();
    enterState(form_, ControlState::Ready);
    form_.txtTime->clear();
}

void LocalFill::fillSlot(int code, Pacer& pacer) {
    yieldToEvents();
    ApplySlotStyle(form_, code, 16);
    writeSlot(form_, code);
    form_.txtO->setText(codeText(code));
    sendByte(port_, code);
    pacer.sent();
    ShowBitPattern(form_, code);
    // Read again at every step: the user may change the pause during the fill.
    pacer.pause([this] { showPending(form_); }, pauseOf(form_.txtTime));
}
