// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/pause_field.h"

#include "base/numeric_value.h"

#include <QLineEdit>

void applyPauseMinimum(QLineEdit* txtTime, int minimum) {
    const QString pause = txtTime->text();
    if (pause.isEmpty() || numericValue(pause) < minimum)
        txtTime->setText(QString::number(minimum));
}

qint64 pauseOf(const QLineEdit* txtTime) {
    return pauseMilliseconds(numericValue(txtTime->text()));
}
