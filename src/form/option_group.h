// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class OptionButton;

// One exclusive group of option buttons with its own keyboard order: the
// arrow keys step through that order (wrapping from the last to the first),
// skipping disabled buttons, and select the button they land on just as a
// click does. Unlike a plain exclusive QButtonGroup it can also be left with
// no button selected.
class OptionGroup : public QObject {
    Q_OBJECT
public:
    explicit OptionGroup(QObject* parent = nullptr);

    // Appends a button at the end of the keyboard order.
    void add(OptionButton* button);
    const std::vector<OptionButton*>& buttons() const { return order_; }

    // Selects the button; its toggled(true) fires at once if it was not selected.
    void select(OptionButton* button);
    // Unselects the button if it is selected; raises no handler.
    void unselect(OptionButton* button);
    OptionButton* selected() const;

private:
    void step(OptionButton* from, int direction);

    QButtonGroup* group_;
    std::vector<OptionButton*> order_;
};

// Unchecks the button although its group (or its own auto-exclusivity) would
// refuse to leave the group with nothing checked. Raises no click handler.
void uncheckDespiteGroup(QAbstractButton* button);
