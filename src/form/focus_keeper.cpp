// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/focus_keeper.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

FocusKeeper::FocusKeeper(QWidget& window) : window_(window) {
    connect(qApp, &QApplication::focusChanged, this, &FocusKeeper::focusChanged);
}

void FocusKeeper::focusChanged(QWidget* old, QWidget* now) {
    if (!now)
        return;
    // Focus leaves an enabled control only by the user's or the program's choice; it leaves a
    // disabled one because it was disabled under the focus.
    if (old && !old->isEnabled() && old->window() == &window_ && now->window() == &window_) {
        if (parked_)
            parked_->removeEventFilter(this);
        parked_ = old;
        old->installEventFilter(this);
        now->clearFocus();
        return;
    }
    if (parked_) { // put somewhere on purpose: that choice stands
        parked_->removeEventFilter(this);
        parked_ = nullptr;
    }
}

bool FocusKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parked_ && event->type() == QEvent::EnabledChange && parked_->isEnabled()) {
        QWidget* button = parked_;
        button->removeEventFilter(this);
        parked_ = nullptr;
        if (!window_.focusWidget() && button->isVisible())
            button->setFocus(Qt::OtherFocusReason);
    }
    return QObject::eventFilter(watched, event);
}
