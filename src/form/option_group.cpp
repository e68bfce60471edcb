// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/option_group.h"

#include "form/option_button.h"

#include <QButtonGroup>
#include <algorithm>

OptionGroup::OptionGroup(QObject* parent) : QObject(parent), group_(new QButtonGroup(this)) {
    group_->setExclusive(true);
}

void OptionGroup::add(OptionButton* button) {
    group_->addButton(button);
    order_.push_back(button);
    connect(button, &OptionButton::arrowPressed, this, &OptionGroup::step);
}

void OptionGroup::select(OptionButton* button) {
    button->setChecked(true);
}

void OptionGroup::unselect(OptionButton* button) {
    uncheckDespiteGroup(button);
}

OptionButton* OptionGroup::selected() const {
    return static_cast<OptionButton*>(group_->checkedButton());
}

void OptionGroup::step(OptionButton* from, int direction) {
    const auto it = std::find(order_.begin(), order_.end(), from);
    if (it == order_.end())
        return;
    const auto count = static_cast<std::ptrdiff_t>(order_.size());
    std::ptrdiff_t index = it - order_.begin();
    for (std::ptrdiff_t tries = 1; tries < count; ++tries) {
        index = (index + direction + count) % count;
        OptionButton* candidate = order_[static_cast<size_t>(index)];
        if (candidate->isEnabled() && !candidate->isHidden()) {
            candidate->setFocus(Qt::TabFocusReason);
            select(candidate);
            return;
        }
    }
}

void uncheckDespiteGroup(QAbstractButton* button) {
    if (!button->isChecked())
        return;
    QButtonGroup* group = button->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (group)
        group->setExclusive(false);
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(autoExclusive);
    if (group)
        group->setExclusive(groupExclusive);
}
