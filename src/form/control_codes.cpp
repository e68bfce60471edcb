// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/control_codes.h"

const std::array<ControlCode, ControlCodeCount>& controlCodes() {
    // The inner runs of blanks line the words up in the fixed-width font.
    static const std::array<ControlCode, ControlCodeCount> codes = {{
        {QStringLiteral("NUL"), QStringLiteral("NUL")},
        {QStringLiteral("SOH"), QStringLiteral("Start Of Header")},
        {QStringLiteral("STX"), QStringLiteral("Start Of Text")},
        {QStringLiteral("ETX"), QStringLiteral("End   Of Text")},
        {QStringLiteral("EOT"), QStringLiteral("End   Of Transmission")},
        {QStringLiteral("ENQ"), QStringLiteral("Enquiry")},
        {QStringLiteral("ACK"), QStringLiteral("Acknowledge")},
        {QStringLiteral("BEL"), QStringLiteral("Bell")},
        {QStringLiteral("BS"), QStringLiteral("Backspace")},
        {QStringLiteral("HTB"), QStringLiteral("Horizontal Tab")},
        {QStringLiteral("LF"), QStringLiteral("Line       Feed")},
        {QStringLiteral("VTB"), QStringLiteral("Vertical   Tab")},
        {QStringLiteral("FF"), QStringLiteral("Form       Feed")},
        {QStringLiteral("CR"), QStringLiteral("Carriage   Return")},
        {QStringLiteral("SHO"), QStringLiteral("Shift      Out")},
        {QStringLiteral("SHI"), QStringLiteral("Shift      In")},
        {QStringLiteral("DLE"), QStringLiteral("Dataline   Escape")},
        {QStringLiteral("XON"), QStringLiteral("DC1        (XON)")},
        {QStringLiteral("DC2"), QStringLiteral("DC2")},
        {QStringLiteral("XOF"), QStringLiteral("DC3        (XOFF)")},
        {QStringLiteral("DC4"), QStringLiteral("DC4")},
        {QStringLiteral("NAK"), QStringLiteral("Negative Acknowledge")},
        {QStringLiteral("SYN"), QStringLiteral("Synchronous Idle")},
        {QStringLiteral("EOB"), QStringLiteral("End Of Transmission Block")},
        {QStringLiteral("CAN"), QStringLiteral("Cancel")},
        {QStringLiteral("EOM"), QStringLiteral("End Of Medium")},
        {QStringLiteral("SUB"), QStringLiteral("Substitute")},
        {QStringLiteral("ESC"), QStringLiteral("Escape")},
        {QStringLiteral("SPF"), QStringLiteral("File   Seperator")},
        {QStringLiteral("SPG"), QStringLiteral("Group  Seperator")},
        {QStringLiteral("SPR"), QStringLiteral("Record Seperator")},
        {QStringLiteral("SPU"), QStringLiteral("Unit   Seperator")},
        {QStringLiteral("SP"), QStringLiteral("Space  (Blank)")},
    }};
    return codes;
}
