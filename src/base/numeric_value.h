// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The numeric value of a text: the number at its start. Blanks, tabs, line
// feeds and carriage returns are skipped anywhere, also between digits
// (" 1 500" is 1500). The number is an optional sign, then either digits with
// a point as decimal separator and an optional exponent (E or e, optional
// sign, digits), or &H hexadecimal / &O octal digits read as an unsigned
// magnitude. Reading stops at the first character that cannot continue the
// number; a text without a leading number is 0. Values too large for a double
// read as +/-infinity. Never depends on the user's locale.
double numericValue(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2,
// -2.5 -> -2). Infinities and NaN are returned unchanged.
double roundHalfEven(double value);

// The longest pause, in milliseconds: what a signed 32-bit count holds (24.8 days).
constexpr qint64 LongestPauseMs = 2147483647;

// A value used as a pause: rounded halves to even and bounded to
// 0 .. LongestPauseMs. Negative values and NaN give 0, +infinity the maximum.
qint64 pauseMilliseconds(double value);
