// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

// The 8-bit character set in which bytes are shown and text is sent: Windows-1252.
// Its codes 128..159 are printable (euro sign, quotes, dashes); its five
// unassigned codes (129, 141, 143, 144, 157) and the control codes map to the
// character of the same number.
QChar charFromByte(unsigned char byte);

// The byte of a character, or -1 when the character is not in the set.
int byteFromChar(QChar ch);

// The one-character text of a byte.
inline QString textFromByte(unsigned char byte) {
    return QString(charFromByte(byte));
}

// A code as the window numbers its slots: "000" .. "255".
QString threeDigits(int code);
// The code as text without leading zeros or blanks: "0", "65", "255".
QString codeText(int code);
