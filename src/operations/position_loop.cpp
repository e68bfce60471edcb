// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/position_loop.h"

#include "form/form_style.h"
#include "form/frm_ascii.h"
#include "form/window_position.h"
#include "operations/program_state.h"

#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <cmath>

PositionLoop::PositionLoop(FrmAscii& form, ProgramState& state) : form_(form), state_(state) {
    form_.installEventFilter(this);
}

void PositionLoop::start() {
    running_ = true;
    showPosition();
}

void PositionLoop::applyFields() {
    if (!running_)
        return;
    QPointF target = windowPosition(form_);
    if (const auto left = strictPosition(form_.txtLeft->text()))
        target.setX(*left);
    if (const auto top = strictPosition(form_.txtTop->text()))
        target.setY(*top);
    moveWindow(form_, target);
    showPosition();
}

bool PositionLoop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_ && event->type() == QEvent::Move)
        showPosition();
    return QObject::eventFilter(watched, event);
}

void PositionLoop::showPosition() {
    if (!running_ || state_.PositionEditing == 1)
        return;
    const QPointF position = windowPosition(form_);
    form_.txtLeft->setText(QString::number(qRound(position.x())));
    form_.txtTop->setText(QString::number(qRound(position.y())));
}

std::optional<float> strictPosition(const QString& text) {
    bool ok = false;
    const float value = QLocale().toFloat(text, &ok);
    // A number too large for a position ("1e400") reads as infinity with ok
    // false; it is still a number, beyond any bound, so the clamping takes it.
    if (!ok && std::isinf(value))
        return value;
    // Not a number either: nowhere to put an edge.
    if (!ok || std::isnan(value))
        return std::nullopt;
    return value;
}
