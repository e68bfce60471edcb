// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/local_fill.h"

#include "base/busy_guard.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/slot_style.h"
#include "form/status_line.h"
#include "operations/paced_send.h"
#include "operations/pause_field.h"
#include "serial/comm_control.h"

#include <QLineEdit>

namespace {
constexpr int MinimumPause = 10;
}

void LocalFill::cmdMan_Click() {
    if (auto busy = BusyGuard::tryEnter(running_))
        fill();
}

void LocalFill::fill() {
    // Before anything changes: a pause too long for the fill is reported, and the table stays.
    requirePauseFits(form_.txtTime());
    enterState(form_, ControlState::Filling);
    emptyTable(form_);
    applyPauseMinimum(form_.txtTime(), MinimumPause);
    port_.openSequence();

    // Nothing the Filling state lets run closes the port: one lost under the
    // fill is reported at its next byte.
    PacedSend paced(port_, PacedSend::Reopen::Never);
    for (int code = 0; code < FrmAscii::SlotCount; ++code)
        fillSlot(code, paced);

    port_.closePort();
    enterState(form_, ControlState::Ready);
    form_.txtTime()->clear();
    form_.statusLine()->say(
        QStringLiteral("Filled without the board; each code was also sent on COM1"));
}

void LocalFill::fillSlot(int code, PacedSend& paced) {
    yieldToEvents();
    ApplySlotStyle(form_, code, 16);
    writeSlot(form_, code);
    form_.showCodeText(code);
    paced.send(code);
    ShowBitPattern(form_, code);
    // Read again at every step: the user may change the pause during the fill.
    paced.pause(form_, pauseOf(form_.txtTime()));
}
