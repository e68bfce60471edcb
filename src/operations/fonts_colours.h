// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FrmAscii;

// The font name, size and colour lists of the toolbar: each pick applies its
// own property to the numbers and/or the signs, as "Numbers" and "Signs" say,
// and hands it to rtfData(0), whose text colour is the store of the current
// colour.
class FontsColours {
public:
    explicit FontsColours(FrmAscii& form) : form_(form) {}

    // Fills the colour list with the names of its entries.
    void fillColourList();

    void cmbFontName_Click();
    void cmbFontSize_Click();
    void cmbFontColor_Click(int index);

private:
    bool numbersChosen() const;
    bool signsChosen() const;

    FrmAscii& form_;
};
