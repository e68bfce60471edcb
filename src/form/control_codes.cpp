// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/control_codes.h"

const std::array<QString, 33>& controlCodeAbbreviations() {
    static const std::array<QString, 33> abbreviations = {
        QStringLiteral("NUL"), QStringLiteral("SOH"), QStringLiteral("STX"), QStringLiteral("ETX"),
        QStringLiteral("EOT"), QStringLiteral("ENQ"), QStringLiteral("ACK"), QStringLiteral("BEL"),
        QStringLiteral("BS"),  QStringLiteral("HTB"), QStringLiteral("LF"),  QStringLiteral("VTB"),
        QStringLiteral("FF"),  QStringLiteral("CR"),  QStringLiteral("SHO"), QStringLiteral("SHI"),
        QStringLiteral("DLE"), QStringLiteral("XON"), QStringLiteral("DC2"), QStringLiteral("XOF"),
        QStringLiteral("DC4"), QStringLiteral("NAK"), QStringLiteral("SYN"), QStringLiteral("EOB"),
        QStringLiteral("CAN"), QStringLiteral("EOM"), QStringLiteral("SUB"), QStringLiteral("ESC"),
        QStringLiteral("SPF"), QStringLiteral("SPG"), QStringLiteral("SPR"), QStringLiteral("SPU"),
        QStringLiteral("SP"),
    };
    return abbreviations;
}
