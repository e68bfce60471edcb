// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRadioButton>

// An option button of the main window's group. The arrow keys do not move
// by geometry, as Qt's default does, but ask the group for the neighbour in
// its keyboard order. It stays auto-exclusive, as a QRadioButton is by
// default: inside the group's QButtonGroup that has no effect, but without it
// Qt's accessibility reports a check box instead of a radio button.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

signals:
    // step is +1 for Down/Right, -1 for Up/Left.
    void arrowPressed(OptionButton* from, int step);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
