// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/modes.h"

#include "base/yield.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"

#include <QPushButton>

void Modes::optRxD_Click() {
    yieldToEvents();
    enableCommands();
    form_.clearPortIndicators();
}

void Modes::optTxD_Click() {
    yieldToEvents();
    enableCommands();
    // A click handled in the yield may have selected another button of the
    // group; transmit mode is selected again then (and this runs once more).
    form_.options()->select(form_.optTxD());
    form_.clearPortIndicators();
}

void Modes::enableCommands() {
    form_.cmdCom1()->setEnabled(true);
    form_.cmdMan()->setEnabled(true);
    form_.cmdNew()->setEnabled(true);
}
