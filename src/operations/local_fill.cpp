#include "operations/local_fill.h"

#include "base/busy_guard.h"
#include "base/numeric_value.h"
#include "base/pacer.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/slot_style.h"
#include "serial/comm_control.h"

#include <QLineEdit>

namespace {
constexpr int MinimumPause = 10;
}

void LocalFill::cmdMan_Click() {
    if (running_)
        return;
    BusyGuard busy(running_);

    enterState(form_, ControlState::Filling);
    for (int i = 0; i < FrmAscii::SlotCount; ++i) {
        form_.optS[i]->setEnabled(false);
        emptySlot(form_, i);
    }
    const QString pause = form_.txtTime->text();
    if (pause.isEmpty() || numericValue(pause) < MinimumPause)
        form_.txtTime->setText(QString::number(MinimumPause));
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
    port_.Output(QByteArray(1, static_cast<char>(code)));
    pacer.sent();
    ShowBitPattern(form_, code);
    // Read again at every step: the user may change the pause during the fill.
    pacer.pause(form_, pauseMilliseconds(numericValue(form_.txtTime->text())));
}
