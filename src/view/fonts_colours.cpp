#include "view/fonts_colours.h"

#include "app/frm_ascii.h"

void FontsColours::cmbFontName_Click() {
}
void FontsColours::cmbFontSize_Click() {
}

void FontsColours::cmbFontColor_Click(int) {
    form_.show();
    form_.raise();
}
