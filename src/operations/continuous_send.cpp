// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/continuous_send.h"

#include "base/busy_guard.h"
#include "base/numeric_value.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/slot_style.h"
#include "operations/paced_send.h"
#include "operations/pause_field.h"
#include "operations/send_byte.h"
#include "serial/comm_control.h"

#include <QLineEdit>
#include <QMessageBox>

namespace {
constexpr int MinimumPause = 50;
constexpr int HighestCode = 255;
const QString DefaultCode = QStringLiteral("141");
const QString Caption = QStringLiteral("ZERBO");
const QString CodeRejected =
    QStringLiteral("Input an Integer-Number between 0 bis 255 and push the Command Button again ");
} // namespace

void ContinuousSend::cmdSendC_Click() {
    // A second loop inside this one would outlive the stop; one runs at a time.
    if (auto busy = BusyGuard::tryEnter(running_))
        run();
}

void ContinuousSend::run() {
    prepare();
    PacedSend paced(port_, PacedSend::Reopen::IfClosed);
    while (pass(paced)) {
    }
}

void ContinuousSend::cmdStopC_Click() {
    port_.closePort();
    form_.unmarkCode();
    enterState(form_, ControlState::Ready);
    form_.showProgressAtZero();
    // The running send finishes the stop at its next pass.
    requestStop();
}

void ContinuousSend::prepare() {
    form_.unmarkCode();
    enterState(form_, ControlState::ContinuousSending);
    form_.hideProgressAtZero();
    withdrawStopRequest();
    applyPauseMinimum(form_.txtTime(), MinimumPause);
    if (form_.txtO()->text().isEmpty())
        form_.txtO()->setText(DefaultCode);
}

// Cheap when nothing changes: the slot and bit fields repaint only where
// their colour differs from the previous pass.
bool ContinuousSend::pass(PacedSend& paced) {
    yieldToEvents();
    port_.openSequence();
    // An empty field means no pause while the send runs.
    if (!form_.txtTime()->text().isEmpty())
        paced.pause(form_, pauseOf(form_.txtTime()), [this] { return stopRequested_; });
    const std::optional<int> code = codeToSend();
    if (!code) {
        rejectCode();
        return false;
    }
    form_.options()->select(form_.optSendC());
    if (stopRequested_) {
        finishStop();
        return false;
    }
    markCurrentSlot(form_, *code);
    paced.send(*code); // opened again if something that ran in a long pause closed the port
    ShowBitPattern(form_, *code);
    return true;
}

// A fraction is rounded halves to even (65.5 gives 66).
std::optional<int> ContinuousSend::codeToSend() const {
    const QString text = form_.txtO()->text();
    const double value = numericValue(text);
    if (text.isEmpty() || !(value >= 0 && value <= HighestCode))
        return std::nullopt;
    return static_cast<int>(roundHalfEven(value));
}

// The window stays in the sending state; the user corrects the code and
// clicks the button again, or stops.
void ContinuousSend::rejectCode() {
    QMessageBox box(QMessageBox::NoIcon, Caption, CodeRejected, QMessageBox::Ok, &form_);
    box.exec();
    form_.markCodeRejected();
    form_.txtO()->setFocus();
}

void ContinuousSend::finishStop() {
    port_.closePort();
    form_.options()->unselect(form_.optSendC());
    form_.clearCode();
    ShowBitPattern(form_, 0);
    withdrawStopRequest();
}
