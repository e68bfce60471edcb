// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/charset.h"

#include <array>

namespace {

constexpr unsigned char firstWindowsCode = 0x80;

// Characters of the codes 0x80..0x9F; the five unassigned codes map to themselves.
constexpr std::array<char16_t, 32> windowsCharacters = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

bool isWindowsCode(unsigned code) {
    return code >= firstWindowsCode && code < firstWindowsCode + windowsCharacters.size();
}

} // namespace

QChar charFromByte(unsigned char byte) {
    if (isWindowsCode(byte))
        return QChar(windowsCharacters[byte - firstWindowsCode]);
    return QChar(static_cast<char16_t>(byte)); // ASCII and Latin-1 keep their numbers
}

int byteFromChar(QChar ch) {
    const char16_t code = ch.unicode();
    if (code <= 0xFF && !isWindowsCode(code))
        return code;
    for (std::size_t index = 0; index < windowsCharacters.size(); ++index) {
        if (windowsCharacters[index] == code)
            return firstWindowsCode + static_cast<int>(index);
    }
    return -1;
}

QString threeDigits(int code) {
    return QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'));
}

QString codeText(int code) {
    return QString::number(code);
}
