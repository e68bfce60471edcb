// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

// The control codes 000 to 032: the abbreviation that the "# 000-032" option
// writes into the code's slot, and the long name the legend shows beside the table.
struct ControlCode {
    QString abbreviation;
    QString name;
};

constexpr int ControlCodeCount = 33;
const std::array<ControlCode, ControlCodeCount>& controlCodes();
