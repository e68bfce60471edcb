// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

// The legend of the control codes 000 to 032 beside the table.
constexpr int LegendRows = 33;
const std::array<QString, LegendRows>& legendNames();
// Index into lblN of the number label of legend row k (code k).
int legendNumberLabel(int k);
// Index into txtN of the name field of legend row k.
int legendNameField(int k);
