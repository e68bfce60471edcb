// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/numeric_value.h"

#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// Walks a text, skipping blanks, tabs, line feeds and carriage returns wherever they are.
class BlankSkippingReader {
public:
    explicit BlankSkippingReader(const QString& text) : text_(text) {}

    // The next character that counts, or 0 at the end of the text.
    char16_t peek() {
        while (pos_ < text_.size() && isBlank(text_[pos_].unicode()))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_].unicode() : u'\0';
    }

    bool take(char16_t expected) {
        if (peek() != expected)
            return false;
        ++pos_;
        return true;
    }

    bool takeEither(char16_t upper, char16_t lower) { return take(upper) || take(lower); }

    qsizetype position() const { return pos_; }
    void rewind(qsizetype position) { pos_ = position; }

    // Appends the run of characters accepted by isWanted to out; returns how many.
    template <typename Predicate> qsizetype takeRun(std::string& out, Predicate isWanted) {
        qsizetype count = 0;
        for (char16_t ch = peek(); ch != u'\0' && isWanted(ch); ch = peek()) {
            out += static_cast<char>(ch);
            ++pos_;
            ++count;
        }
        return count;
    }

private:
    static bool isBlank(char16_t ch) {
        return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r';
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

bool isDecimalDigit(char16_t ch) {
    return ch >= u'0' && ch <= u'9';
}
bool isOctalDigit(char16_t ch) {
    return ch >= u'0' && ch <= u'7';
}
bool isHexDigit(char16_t ch) {
    return isDecimalDigit(ch) || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F');
}

// Parses a cleaned ASCII number in the C locale: strtod alone would follow the
// user's decimal separator once the application has set the locale.
double parseInCLocale(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

// Octal digits as hexadecimal digits of the same value, so that the exact,
// correctly rounded hexadecimal parsing serves both.
std::string hexFromOctal(const std::string& octal) {
    const std::size_t bitCount = octal.size() * 3;
    const std::size_t padding = (4 - bitCount % 4) % 4;
    auto bitAt = [&](std::size_t index) -> unsigned {
        if (index < padding)
            return 0;
        const std::size_t octalBit = index - padding;
        const unsigned digit = static_cast<unsigned>(octal[octalBit / 3] - '0');
        return (digit >> (2 - octalBit % 3)) & 1u;
    };
    std::string hex;
    hex.reserve((padding + bitCount) / 4);
    for (std::size_t nibbleStart = 0; nibbleStart < padding + bitCount; nibbleStart += 4) {
        unsigned nibble = 0;
        for (std::size_t bit = 0; bit < 4; ++bit)
            nibble = nibble << 1 | bitAt(nibbleStart + bit);
        hex += "0123456789abcdef"[nibble];
    }
    return hex;
}

// After "&": H or O and their digits as a "0x..." number, or empty when there are no digits.
std::string readPrefixedDigits(BlankSkippingReader& reader) {
    std::string digits;
    if (reader.takeEither(u'H', u'h')) {
        reader.takeRun(digits, isHexDigit);
    } else if (reader.takeEither(u'O', u'o')) {
        reader.takeRun(digits, isOctalDigit);
        if (!digits.empty())
            digits = hexFromOctal(digits);
    }
    return digits.empty() ? std::string() : "0x" + digits;
}

// Digits, point and exponent; the exponent is only taken when digits follow it ("3e" is 3).
std::string readDecimal(BlankSkippingReader& reader) {
    std::string number;
    qsizetype digitCount = reader.takeRun(number, isDecimalDigit);
    if (reader.take(u'.')) {
        number += '.';
        digitCount += reader.takeRun(number, isDecimalDigit);
    }
    if (digitCount == 0)
        return {};
    const qsizetype beforeExponent = reader.position();
    if (reader.takeEither(u'E', u'e')) {
        std::string exponent = "e";
        if (reader.take(u'-'))
            exponent += '-';
        else
            reader.take(u'+');
        if (reader.takeRun(exponent, isDecimalDigit) > 0)
            number += exponent;
        else
            reader.rewind(beforeExponent);
    }
    return number;
}

} // namespace

double numericValue(const QString& text) {
    BlankSkippingReader reader(text);
    const bool negative = reader.take(u'-');
    if (!negative)
        reader.take(u'+');
    const std::string magnitude =
        reader.take(u'&') ? readPrefixedDigits(reader) : readDecimal(reader);
    if (magnitude.empty())
        return 0.0;
    const double value = parseInCLocale(magnitude);
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double fraction = value - below; // exact for doubles
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

qint64 pauseMilliseconds(double value) {
    const double rounded = roundHalfEven(value);
    if (std::isnan(rounded) || rounded <= 0.0)
        return 0;
    if (rounded >= static_cast<double>(LongestPauseMs))
        return LongestPauseMs;
    return static_cast<qint64>(rounded);
}
