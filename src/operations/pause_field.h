// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QLineEdit;

// The pause field txtTime, in milliseconds.

// At the start of an operation: an empty field, or one below the operation's
// minimum, is set to that minimum. Later edits are taken as typed.
void applyPauseMinimum(QLineEdit* txtTime, int minimum);

// Before an operation that cannot wait longer than LongestPauseMs starts: a
// longer pause ("2147483648", "1e400") is a run-time error that names the
// field, the value and the longest pause.
void requirePauseFits(const QLineEdit* txtTime);

// The pause the field asks for now, bounded to what a pause can be.
qint64 pauseOf(const QLineEdit* txtTime);
