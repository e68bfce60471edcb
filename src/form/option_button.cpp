// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/option_button.h"

#include <QKeyEvent>

void OptionButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
        emit arrowPressed(this, +1);
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        emit arrowPressed(this, -1);
        return;
    default:
        QRadioButton::keyPressEvent(event);
    }
}
