// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

// Abbreviations of the control codes 0 to 32 that the "# 000-032" option
// writes into slots 000 to 032.
const std::array<QString, 33>& controlCodeAbbreviations();
