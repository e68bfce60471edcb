// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/control_code_names.h"

#include "base/yield.h"
#include "form/control_codes.h"
#include "form/frm_ascii.h"
#include "form/slot_style.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

void ControlCodeNames::chkA_Click() {
    yieldToEvents();
    for (int i = 0; i <= 32; ++i) {
        yieldToEvents();
        ApplySlotStyle(form_, i, 10);
        form_.slot(i).number->setText(threeDigits(i));
    }
    for (int i = 0; i <= 32; ++i)
        form_.slot(i).character->setText(controlCodes()[static_cast<size_t>(i)].abbreviation);
    form_.chkA()->setChecked(false);
}
