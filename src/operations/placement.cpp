// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/placement.h"

#include "base/numeric_value.h"
#include "base/yield.h"
#include "form/form_scale.h"
#include "form/frm_ascii.h"
#include "form/window_position.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <limits>

namespace {
constexpr float LowerBound = -8000;
const QString LowerText = QStringLiteral("-8000");

// A typed position as the single-precision number positions are kept in.
// Beyond that range it saturates to infinity, where a plain conversion of a
// finite double such as 1e39 would be undefined; the move then places the
// window as far off as it goes.
float positionFrom(double value) {
    constexpr float infinity = std::numeric_limits<float>::infinity();
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value < 0 ? -infinity : infinity;
    return static_cast<float>(value);
}

QSizeF inTwips(QSize pixels) {
    return QSizeF(pixels) * twipsPerPixel();
}

// A popup (a context menu) or another application taking over does not end
// an edit: the field keeps the window's focus and gets it back.
bool editEnds(const QFocusEvent* event) {
    return event->reason() != Qt::PopupFocusReason &&
           event->reason() != Qt::ActiveWindowFocusReason;
}
} // namespace

float centredEdge(float screenExtent, float windowExtent) {
    return (screenExtent - windowExtent) / 2;
}

Placement::Placement(FrmAscii& form) : form_(form), fields_(form) {
    form_.txtLeft()->installEventFilter(this);
    form_.txtTop()->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &Placement::judgePendingEdit);
}

void Placement::cmdCenter_Click() {
    const QSizeF screen = inTwips(form_.screen()->geometry().size());
    // Left first; the top is worked out after the window has moved sideways.
    const float left =
        centredEdge(static_cast<float>(screen.width()),
                    static_cast<float>(inTwips(form_.frameGeometry().size()).width()));
    moveWindow(form_, QPointF(left, windowPosition(form_).y()));
    const float top =
        centredEdge(static_cast<float>(screen.height()),
                    static_cast<float>(inTwips(form_.frameGeometry().size()).height()));
    moveWindow(form_, QPointF(windowPosition(form_).x(), top));
}

void Placement::cmdSetPos_Click() {
    moveWaitsForSetPos_ = false; // the field's own move is this one
    // No bounds here: what the fields say, read leniently, is where it goes. Both are read
    // first, since moving the left edge shows the window's position in the fields.
    const float left = positionFrom(numericValue(form_.txtLeft()->text()));
    const float top = positionFrom(numericValue(form_.txtTop()->text()));
    moveWindow(form_, QPointF(left, windowPosition(form_).y()));
    moveWindow(form_, QPointF(windowPosition(form_).x(), top));
}

void Placement::txtLeft_GotFocus() {
    ++editsBegun_;
    fields_.setEditing(true);
}
void Placement::txtTop_GotFocus() {
    ++editsBegun_;
    fields_.setEditing(true);
}

void Placement::txtLeft_LostFocus() {
    editEnded(form_.txtLeft(), 13000, QStringLiteral("13000"));
}
void Placement::txtTop_LostFocus() {
    editEnded(form_.txtTop(), 3000, QStringLiteral("3000"));
}

// Judged once the focus change is complete (the next field or button has its
// focus), outside the focus-out filter: the events let in then never run half
// way through a focus change. Queued as well, for a focus-out that no focus
// change follows.
void Placement::editEnded(QLineEdit* field, float upperBound, const QString& upperText) {
    pending_ = PendingEdit{field, upperBound, upperText, editsBegun_};
    QMetaObject::invokeMethod(this, &Placement::judgePendingEdit, Qt::QueuedConnection);
}

void Placement::judgePendingEdit() {
    if (moveWaitsForSetPos_ && QApplication::focusWidget() != form_.cmdSetPos()) {
        // Set form position lost the focus without a click: the field's move after all.
        moveWaitsForSetPos_ = false;
        fields_.applyFields();
    }
    if (!pending_)
        return;
    const PendingEdit edit = *pending_;
    pending_.reset();
    // Straight to Set form position (pressed, or reached by Tab): its click
    // reads both fields and moves the window once. A move of the field's own
    // now would slide the button from under a pressed pointer and lose the
    // click, so it waits until the focus leaves the button without one.
    if (QApplication::focusWidget() == form_.cmdSetPos()) {
        clamp(edit);
        fields_.setEditing(false);
        moveWaitsForSetPos_ = true;
        return;
    }
    // Tab from one position field to the other began the next edit before this one is judged.
    const bool nextEditBegun = editsBegun_ != edit.begun;
    // A click that took the focus away runs before the field is judged.
    yieldToEvents();
    clamp(edit);
    fields_.setEditing(false);
    fields_.applyFields();
    if (nextEditBegun)
        fields_.setEditing(true);
}

// Only a proper number is clamped; anything else stays as typed.
void Placement::clamp(const PendingEdit& edit) {
    QLineEdit* field = edit.field;
    if (const auto value = strictPosition(field->text()); value && *value < LowerBound)
        field->setText(LowerText);
    if (const auto value = strictPosition(field->text()); value && *value > edit.upperBound)
        field->setText(edit.upperText);
}

bool Placement::eventFilter(QObject* watched, QEvent* event) {
    const bool left = watched == form_.txtLeft();
    if (!left && watched != form_.txtTop())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        left ? txtLeft_GotFocus() : txtTop_GotFocus();
    } else if (event->type() == QEvent::FocusOut && editEnds(static_cast<QFocusEvent*>(event))) {
        left ? txtLeft_LostFocus() : txtTop_LostFocus();
    }
    return QObject::eventFilter(watched, event);
}
