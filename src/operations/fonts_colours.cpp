// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/fonts_colours.h"

#include "base/numeric_value.h"
#include "form/form_scale.h"
#include "form/form_style.h"
#include "form/frm_ascii.h"
#include "form/pick_combo.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <array>
#include <functional>
#include <optional>

namespace {
struct ListColour {
    const char* name;
    QColor text;
    QColor signBackground;
};

// In the order of the colour list. Magenta gets white behind the signs, so
// that every entry leaves a readable field.
const std::array<ListColour, 8>& listColours() {
    static const std::array<ListColour, 8> colours{{
        {"black", Black, White},
        {"red", Red, White},
        {"green", Green, Black},
        {"yellow", QColor(255, 255, 0), Black},
        {"blue", Blue, White},
        {"magenta", QColor(255, 0, 255), White},
        {"cyan", QColor(0, 255, 255), Black},
        {"white", White, Black},
    }};
    return colours;
}

// The stored colour as one of the list's entries; another colour is none.
std::optional<ListColour> listColour(const QColor& stored) {
    for (const ListColour& colour : listColours())
        if (colour.text == stored)
            return colour;
    return std::nullopt;
}

// Setting a font repaints the field, so only fields that change get one.
void changeFont(QWidget* field, const std::function<void(QFont&)>& change) {
    QFont font = field->font();
    change(font);
    if (font != field->font())
        field->setFont(font);
}

// part: &Slot::number or &Slot::character.
void changeSlotFonts(const FrmAscii& form, auto part, const auto& change) {
    for (const Slot& slot : form.table())
        changeFont(slot.*part, change);
}
} // namespace

void FontsColours::fillColourList() {
    for (const ListColour& colour : listColours())
        form_.cmbFontColor()->addItem(QString::fromLatin1(colour.name));
}

bool FontsColours::numbersChosen() const {
    return form_.chkN()->isChecked();
}
bool FontsColours::signsChosen() const {
    return form_.chkT()->isChecked();
}

void FontsColours::cmbFontName_Click() {
    const QString name = form_.cmbFontName()->currentText();
    form_.rtfData0()->setFontFamily(name);
    const auto rename = [&name](QFont& font) { font.setFamily(name); };
    if (numbersChosen())
        changeSlotFonts(form_, &Slot::number, rename);
    if (signsChosen())
        changeSlotFonts(form_, &Slot::character, rename);
}

void FontsColours::cmbFontSize_Click() {
    const double points = numericValue(form_.cmbFontSize()->currentText());
    if (!(points > 0)) // only list entries are picked; a font has no size of 0
        return;
    form_.rtfData0()->setFontPointSize(scaledPoints(points));
    const auto resize = [points = static_cast<float>(scaledPoints(points))](QFont& font) {
        font.setPointSizeF(points);
    };
    if (numbersChosen())
        changeSlotFonts(form_, &Slot::number, resize);
    if (signsChosen())
        changeSlotFonts(form_, &Slot::character, resize);
}

void FontsColours::cmbFontColor_Click(int index) {
    const auto& colours = listColours();
    if (index >= 0 && index < static_cast<int>(colours.size()))
        form_.rtfData0()->setTextColor(colours[static_cast<size_t>(index)].text);

    // Painted from the store, which keeps the last colour picked.
    if (numbersChosen()) {
        for (int i = 0; i < FrmAscii::SlotCount; ++i)
            if (const auto colour = listColour(form_.rtfData0()->textColor()))
                setTextColour(form_.slot(i).number, colour->text);
    }
    if (signsChosen()) {
        for (int i = 0; i < FrmAscii::SlotCount; ++i) {
            if (const auto colour = listColour(form_.rtfData0()->textColor())) {
                setTextColour(form_.slot(i).character, colour->text);
                setBackground(form_.slot(i).character, colour->signBackground);
            }
        }
    }
}
