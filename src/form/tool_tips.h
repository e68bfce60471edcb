// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QWidget;

// What each control of the main window does, in English, one sentence each,
// as the README's "Using ZERBO" table says it. The window's own texts (the
// captions and the German help) stay as they are; the tips only explain.
struct ToolTip {
    QString control; // objectName, or a group of controls ("slotColumn(0)")
    QString text;
};
const QList<ToolTip>& toolTips();

// Gives the controls their tips. The slots and the legend take theirs from
// their column or group, which shows a tip for every control inside it.
void giveToolTips(QWidget& form);
