#pragma once

class FrmAscii;

// The font name, size and colour lists of the toolbar: each pick applies its
// own property to the numbers and/or the signs, as "Numbers" and "Signs" say.
class FontsColours {
public:
    explicit FontsColours(FrmAscii& form) : form_(form) {}

    void cmbFontName_Click();
    void cmbFontSize_Click();
    void cmbFontColor_Click(int index);

private:
    FrmAscii& form_;
};
