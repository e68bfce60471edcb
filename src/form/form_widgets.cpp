// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_widgets.h"

#include "form/cut_input_note.h"
#include "form/option_button.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

QLineEdit* textField(QWidget* parent, const QString& name, QRect twips, const QFont& font,
                     Qt::Alignment alignment) {
    auto* field = place(new QLineEdit(parent), name, twips, font);
    field->setAlignment(alignment | Qt::AlignVCenter);
    setBackground(field, White);
    setTextColour(field, Black);
    tellWhenInputIsCut(field);
    return field;
}

QLineEdit* captionField(QWidget* parent, const QString& name, QRect twips, const QString& text) {
    auto* field = textField(parent, name, twips, labelFont());
    field->setText(text);
    field->setFrame(false);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    setBackground(field, buttonFace());
    fitText(field);
    return field;
}

// At some of the forms' factors the smaller font comes out a pixel or two
// wider than the field, which then scrolls its text and cuts the first
// letter: a caption takes the largest size a quarter point smaller at which
// it fits (inside the contents, less the 2 pixels Qt keeps on either side).
void fitText(QLineEdit* field) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = 0;
    const int room =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field).width() - 5;
    QFont font = field->font();
    while (QFontMetrics(font).boundingRect(field->text()).width() > room && font.pointSizeF() > 2)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    if (font != field->font())
        field->setFont(font);
    field->setCursorPosition(0);
}

QLabel* label(QWidget* parent, const QString& name, QRect twips, Qt::Alignment alignment,
              const QString& text) {
    auto* lbl = place(new QLabel(text, parent), name, twips, labelFont());
    lbl->setAlignment(alignment | Qt::AlignVCenter);
    lbl->setAutoFillBackground(true);
    setBackground(lbl, buttonFace());
    setTextColour(lbl, Black);
    return lbl;
}

QPushButton* button(QWidget* parent, const QString& name, QRect twips, const QString& caption) {
    auto* btn = place(new QPushButton(caption, parent), name, twips, labelFont());
    btn->setAutoDefault(false);
    return btn;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, QRect twips, const QString& caption) {
    return place(new QCheckBox(caption, parent), name, twips, labelFont());
}

OptionButton* optionButton(QWidget* parent, const QString& name, QRect twips,
                           const QString& caption, const QFont& font) {
    return place(new OptionButton(caption, parent), name, twips, font);
}

QWidget* group(QWidget* parent, const QString& name, QRect twips) {
    auto* container = new QWidget(parent);
    container->setObjectName(name);
    container->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    container->setFont(labelFont());
    return container;
}
