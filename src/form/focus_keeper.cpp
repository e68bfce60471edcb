// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/focus_keeper.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

FocusKeeper::FocusKeeper(QWidget& window) : window_(window) {
    connect(qApp, &QApplication::focusChanged, this, &FocusKeeper::focusChanged);
}

bool FocusKeeper::keepFromDisabled() {
    QWidget* focus = window_.focusWidget();
    // Qt passes the focus on from a disabled control only when it was
    // disabled under the focus: a user never reaches one.
    if (!focus || focus == &window_ || focus->isEnabled())
        return false;
    unpark();
    parked_ = focus;
    focus->installEventFilter(this);
    // On the window itself, not nowhere: a window activated later gives the
    // focus back to where it was, where nowhere would let Qt pick the first
    // control enabled, Exit.
    window_.setFocus(Qt::OtherFocusReason);
    return true;
}

void FocusKeeper::focusChanged(QWidget*, QWidget* now) {
    // Parked on the window itself, or given back to it on activation.
    if (!now || now == &window_)
        return;
    unpark(); // put somewhere on purpose: that choice stands
}

void FocusKeeper::unpark() {
    if (parked_)
        parked_->removeEventFilter(this);
    parked_ = nullptr;
}

bool FocusKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parked_ && event->type() == QEvent::EnabledChange && parked_->isEnabled()) {
        QWidget* button = parked_;
        unpark();
        QWidget* focus = window_.focusWidget();
        if ((!focus || focus == &window_) && button->isVisible())
            button->setFocus(Qt::OtherFocusReason);
    }
    return QObject::eventFilter(watched, event);
}
