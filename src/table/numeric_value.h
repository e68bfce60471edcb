#pragma once

#include <QString>

// The numeric value of a text: the number at its start. Blanks, tabs and line
// feeds are skipped anywhere; an optional sign, digits with a point as decimal
// separator and an optional exponent (E or D, optional sign, digits), or &H
// hexadecimal / &O octal digits. Reading stops at the first character that
// cannot continue the number; a text without a leading number is 0. Values
// too large for a double read as +/-infinity.
double numericValue(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2).
double roundHalfEven(double value);

// A value used as a pause: rounded halves to even and bounded to 0 .. 2,147,483,647 ms.
qint64 pauseMilliseconds(double value);
