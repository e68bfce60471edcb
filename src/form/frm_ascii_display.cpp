// SPDX-License-Identifier: GPL-3.0-or-later
// The writes to the main window that always go together, in the order the
// operations have always made them.
#include "base/charset.h"
#include "form/form_style.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"

#include "form/pick_combo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>

std::array<QWidget*, 6> FrmAscii::displayOptions() const {
    return {cmbFontName_, cmbFontSize_, cmbFontColor_, chkN_, chkT_, chkA_};
}

void FrmAscii::enableDisplayOptions(bool enabled) {
    for (QWidget* option : displayOptions())
        option->setEnabled(enabled);
}

void FrmAscii::showPortOpen(bool open, bool enable) {
    if (enable)
        chkOpen_->setEnabled(true);
    chkOpen_->setChecked(open);
    if (enable)
        chkClosed_->setEnabled(true);
    chkClosed_->setChecked(!open);
}

void FrmAscii::clearPortIndicators() {
    chkOpen_->setChecked(false);
    chkClosed_->setChecked(false);
    chkOpen_->setEnabled(false);
    chkClosed_->setEnabled(false);
}

void FrmAscii::showCodeText(int code) {
    txtO_->setText(codeText(code));
}

void FrmAscii::clearCode() {
    txtO_->clear();
    unmarkCode();
}

void FrmAscii::markCodeRejected() {
    setBackground(txtO_, Red);
}

void FrmAscii::unmarkCode() {
    setBackground(txtO_, White);
}

void FrmAscii::showProgressAtZero() {
    prgBar_->show();
    prgBar_->setValue(0);
}

void FrmAscii::hideProgressAtZero() {
    prgBar_->hide();
    prgBar_->setValue(0);
}

void FrmAscii::setProgress(int value) {
    prgBar_->setValue(value);
}
