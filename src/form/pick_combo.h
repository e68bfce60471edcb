// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

// A drop-down combo box that reports a pick both when the user chooses an
// entry (also the one already shown) and when the program picks one.
class PickCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PickCombo(QWidget* parent = nullptr);

    // Selects the entry by program and raises picked() at once.
    void pick(int index);

signals:
    void picked(int index);
};
