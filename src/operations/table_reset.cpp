// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/table_reset.h"

#include "base/busy_guard.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/slot_style.h"
#include "form/status_line.h"
#include "operations/continuous_send.h"

#include <QLineEdit>

void TableReset::cmdNew_Click() {
    if (auto busy = BusyGuard::tryEnter(running_))
        reset();
}

void TableReset::reset() {
    yieldToEvents();
    continuousSend_.requestStop(); // a continuous send stops too
    enterState(form_, ControlState::Resetting);
    form_.hideProgressAtZero();
    emptyTable(form_);
    for (int i = 0; i < FrmAscii::SlotCount; ++i) {
        yieldToEvents();
        ApplySlotStyle(form_, i, 10);
        emptySlot(form_, i);
    }
    ShowBitPattern(form_, 0);
    form_.txtS()->clear();
    form_.clearCode();
    form_.showProgressAtZero();
    enterState(form_, ControlState::Ready);
    form_.statusLine()->say(
        QStringLiteral("The table is empty: to receive again, pick RxD Receive, then Com1"));
}
