// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/control_codes.h"

#include <array>

class QLabel;
class QLineEdit;
class QWidget;

// Row k of the legend beside the table: the number "000".."032" and the long
// name of control code k.
struct LegendRow {
    QLabel* number;
    QLineEdit* name;
};

constexpr int LegendRows = ControlCodeCount;
using Legend = std::array<LegendRow, LegendRows>;

// The rows, one under the other, in the group legend. Their controls keep
// the names they have always had in the arrays lblN and txtN (row 0 is
// lblN(287) and txtN(287)), which screen readers and scripts find them by.
Legend createLegend(QWidget* legend);
