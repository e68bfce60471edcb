// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/legend.h"

const std::array<QString, LegendRows>& legendNames() {
    // The inner runs of blanks line the words up in the fixed-width font.
    static const std::array<QString, LegendRows> names = {
        "NUL",
        "Start Of Header",
        "Start Of Text",
        "End   Of Text",
        "End   Of Transmission",
        "Enquiry",
        "Acknowledge",
        "Bell",
        "Backspace",
        "Horizontal Tab",
        "Line       Feed",
        "Vertical   Tab",
        "Form       Feed",
        "Carriage   Return",
        "Shift      Out",
        "Shift      In",
        "Dataline   Escape",
        "DC1        (XON)",
        "DC2",
        "DC3        (XOFF)",
        "DC4",
        "Negative Acknowledge",
        "Synchronous Idle",
        "End Of Transmission Block",
        "Cancel",
        "End Of Medium",
        "Substitute",
        "Escape",
        "File   Seperator",
        "Group  Seperator",
        "Record Seperator",
        "Unit   Seperator",
        "Space  (Blank)",
    };
    return names;
}

int legendNumberLabel(int k) {
    if (k <= 15)
        return 287 - k;
    if (k <= 31)
        return 240 + k;
    return 288;
}

int legendNameField(int k) {
    return k <= 31 ? 287 - k : 290;
}
