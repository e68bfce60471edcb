// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/position_fields.h"

#include "form/form_style.h"
#include "form/frm_ascii.h"
#include "form/window_position.h"

#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScopedValueRollback>
#include <cmath>

PositionFields::PositionFields(FrmAscii& form) : form_(form) {
    form_.installEventFilter(this);
}

void PositionFields::start() {
    running_ = true;
    showPosition();
}

void PositionFields::applyFields() {
    if (!running_)
        return;
    const auto left = strictPosition(form_.txtLeft()->text());
    const auto top = strictPosition(form_.txtTop()->text());
    QPointF target = windowPosition(form_);
    if (left)
        target.setX(*left);
    if (top)
        target.setY(*top);
    {
        // A field that is no plain number keeps what the user wrote ("2500abc"), so that Set
        // form position can still read it: only the fields applied show the new position.
        const QScopedValueRollback quiet(applying_, true);
        moveWindow(form_, target);
    }
    showPosition(left.has_value(), top.has_value());
}

bool PositionFields::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_ && event->type() == QEvent::Move && !applying_)
        showPosition();
    return QObject::eventFilter(watched, event);
}

void PositionFields::showPosition(bool left, bool top) {
    if (!running_ || editing_)
        return;
    const QPointF position = windowPosition(form_);
    if (left)
        form_.txtLeft()->setText(QString::number(qRound(position.x())));
    if (top)
        form_.txtTop()->setText(QString::number(qRound(position.y())));
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
