// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/pause_field.h"

#include "base/error_numbers.h"
#include "base/numeric_value.h"
#include "base/runtime_error.h"

#include <QLineEdit>

void applyPauseMinimum(QLineEdit* txtTime, int minimum) {
    const QString pause = txtTime->text();
    if (pause.isEmpty() || numericValue(pause) < minimum)
        txtTime->setText(QString::number(minimum));
}

void requirePauseFits(const QLineEdit* txtTime) {
    QString pause = txtTime->text();
    if (roundHalfEven(numericValue(pause)) <= static_cast<double>(LongestPauseMs))
        return;
    throw RuntimeError(
        ErrorNumber::Overflow,
        QStringLiteral("Overflow: the pause \"%1\" in the field \"Time [ms] between the signs\" "
                       "(txtTime) is longer than the longest pause accepted, %2 ms (about 24.8 "
                       "days). Start ZERBO again and type a pause of at most %2 ms.")
            .arg(pause.size() > 40 ? pause.left(40) + QStringLiteral("...") : pause)
            .arg(LongestPauseMs));
}

qint64 pauseOf(const QLineEdit* txtTime) {
    return pauseMilliseconds(numericValue(txtTime->text()));
}
