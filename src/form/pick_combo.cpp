// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/pick_combo.h"

PickCombo::PickCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &PickCombo::picked);
}

void PickCombo::pick(int index) {
    setCurrentIndex(index);
    emit picked(index);
}
