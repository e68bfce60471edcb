// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/modes.h"

#include "base/yield.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"

#include <QCheckBox>
#include <QPushButton>

void Modes::optRxD_Click() {
    yieldToEvents();
    enableCommands();
    clearPortIndicators();
}

void Modes::optTxD_Click() {
    yieldToEvents();
    enableCommands();
    // A click handled in the yield may have selected another button of the
    // group; transmit mode is selected again then (and this runs once more).
    form_.options->select(form_.optTxD);
    clearPortIndicators();
}

void Modes::enableCommands() {
    form_.cmdCom1->setEnabled(true);
    form_.cmdMan->setEnabled(true);
    form_.cmdNew->setEnabled(true);
}

void Modes::clearPortIndicators() {
    form_.chkOpen->setChecked(false);
    form_.chkClosed->setChecked(false);
    form_.chkOpen->setEnabled(false);
    form_.chkClosed->setEnabled(false);
}
