// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/legend.h"

#include "base/charset.h"
#include "form/form_widgets.h"

#include <QLabel>
#include <QLineEdit>

namespace {
// Index in lblN of the number of row k.
int numberIndex(int k) {
    if (k <= 15)
        return 287 - k;
    if (k <= 31)
        return 240 + k;
    return 288;
}

// Index in txtN of the name of row k.
int nameIndex(int k) {
    return k <= 31 ? 287 - k : 290;
}
} // namespace

Legend createLegend(QWidget* legend) {
    Legend rows;
    for (int k = 0; k < LegendRows; ++k) {
        const int top = 300 * k;
        rows[k].number = label(legend, QStringLiteral("lblN(%1)").arg(numberIndex(k)),
                               {0, top, 450, 240}, Qt::AlignHCenter, threeDigits(k));
        rows[k].name = captionField(legend, QStringLiteral("txtN(%1)").arg(nameIndex(k)),
                                    {600, top, 3045, 240}, controlCodes()[k].name);
    }
    return rows;
}
