// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/control_code_names.h"

#include "base/charset.h"
#include "base/yield.h"
#include "form/control_codes.h"
#include "form/frm_ascii.h"
#include "form/slot_style.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

void ControlCodeNames::chkA_Click() {
    yieldToEvents();
    // A code the board's table lacked keeps its grey mark: no name pretends it came.
    std::array<bool, 33> missing{};
    for (int i = 0; i <= 32; ++i) {
        yieldToEvents();
        missing[size_t(i)] = slotMissing(form_, i);
        if (missing[size_t(i)])
            continue;
        ApplySlotStyle(form_, i, 10);
        form_.slot(i).number->setText(threeDigits(i));
    }
    for (int i = 0; i <= 32; ++i)
        if (!missing[size_t(i)])
            form_.slot(i).character->setText(controlCodes()[static_cast<size_t>(i)].abbreviation);
    form_.chkA()->setChecked(false);
}
