// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/slot_style.h"

#include "base/charset.h"
#include "form/form_scale.h"
#include "form/form_style.h"
#include "form/frm_ascii.h"
#include "form/glyph_fit.h"
#include "form/option_button.h"

#include <QLabel>
#include <QLineEdit>

namespace {
void setFontIfDifferent(QWidget* widget, const QFont& font) {
    if (widget->font() != font)
        widget->setFont(font);
}

// Drawn smaller than designed, a character field has too few lines for the
// slot's own size: the accents of the capitals 192 to 221 were cut off. There
// the size goes down as far as needed for every glyph to be drawn whole. As
// designed, the size stands.
QFont characterFont(const QLineEdit* field, double points) {
    const QFont font = courierNewBold(points);
    return formScale() >= 1 ? font : fittedCharacterFont(*field, font);
}

QColor bitColour(int k) {
    return k >= 6 ? Blue : Red;
}
} // namespace

void ApplySlotStyle(FrmAscii& form, int i, double characterSize) {
    QLabel* number = form.slot(i).number;
    QLineEdit* character = form.slot(i).character;
    setBackground(number, buttonFace());
    setBackground(character, White);
    setTextColour(number, Black);
    setTextColour(character, Black);
    setFontIfDifferent(number, courierNewBold(10));
    setFontIfDifferent(character, characterFont(character, characterSize));
}

void ShowBitPattern(FrmAscii& form, int code) {
    for (int k = 0; k < 8; ++k)
        setBackground(form.txtP(k), (code >> k) & 1 ? bitColour(k) : White);
}

void markCurrentSlot(FrmAscii& form, int code) {
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        setBackground(form.slot(i).character, i == code ? Green : White);
}

void writeSlot(FrmAscii& form, int i) {
    form.slot(i).number->setText(threeDigits(i));
    form.slot(i).character->setText(textFromByte(static_cast<unsigned char>(i)));
}

void emptySlot(FrmAscii& form, int i) {
    form.slot(i).number->clear();
    form.slot(i).character->clear();
}

void markSlotMissing(FrmAscii& form, int i) {
    form.slot(i).number->setText(threeDigits(i));
    form.slot(i).character->clear();
    setTextColour(form.slot(i).number, Grey);
}

bool slotMissing(const FrmAscii& form, int i) {
    return textColour(form.slot(i).number) == Grey;
}

void emptyTable(FrmAscii& form) {
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        emptySlot(form, i);
}
