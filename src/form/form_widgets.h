// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/form_style.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class OptionButton;

// The kinds of control the main window is built from, each created under
// parent with its objectName and its design place in twips (relative to parent).

template <typename Widget>
Widget* place(Widget* widget, const QString& name, QRect twips, const QFont& font) {
    widget->setObjectName(name);
    widget->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    // Most controls inherit their font from their group; setting it anyway would cost start-up
    // time.
    if (widget->font() != font)
        widget->setFont(font);
    return widget;
}

// Black on white.
QLineEdit* textField(QWidget* parent, const QString& name, QRect twips, const QFont& font,
                     Qt::Alignment alignment = Qt::AlignLeft);
// A text field that reads as a caption: flat, on the button face, out of the tab order.
QLineEdit* captionField(QWidget* parent, const QString& name, QRect twips, const QString& text);
// The field's font made just small enough for its whole text to show.
void fitText(QLineEdit* field);
// Black on the button face, in the label font.
QLabel* label(QWidget* parent, const QString& name, QRect twips, Qt::Alignment alignment,
              const QString& text = {});
QPushButton* button(QWidget* parent, const QString& name, QRect twips, const QString& caption);
QCheckBox* checkBox(QWidget* parent, const QString& name, QRect twips, const QString& caption);
OptionButton* optionButton(QWidget* parent, const QString& name, QRect twips,
                           const QString& caption, const QFont& font);
// A plain, transparent container that groups many fields: a repaint then
// only walks the group it touches instead of every control of the window.
QWidget* group(QWidget* parent, const QString& name, QRect twips);
