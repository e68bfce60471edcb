// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any UTF-8 input must be read without crashing, never as
// NaN, and must give a pause within 0 .. 2,147,483,647 ms.
#include "base/numeric_value.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = numericValue(text);
    if (std::isnan(value))
        std::abort();
    const qint64 pause = pauseMilliseconds(value);
    if (pause < 0 || pause > 2147483647)
        std::abort();
    const double rounded = roundHalfEven(value);
    if (std::isfinite(rounded) && rounded != std::floor(rounded))
        std::abort();
    return 0;
}
