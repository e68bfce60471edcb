// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class FrmAscii;

// The baseline look of slot i: number label on the button face, character
// field white, both black bold Courier New; the label at 10 pt, the
// character at characterSize. Overrides any font or colour the user chose.
void ApplySlotStyle(FrmAscii& form, int i, double characterSize);

// Colours the eight bit fields with the pattern of code: a 1 bit blue for
// bits 7 and 6, red for bits 5 to 0; a 0 bit white.
void ShowBitPattern(FrmAscii& form, int code);

// Marks the slot of code as the current one: its character field green, all
// others white. A code outside 0..255 leaves every field white.
void markCurrentSlot(FrmAscii& form, int code);

// Number label and character field of slot i.
void writeSlot(FrmAscii& form, int i);
void emptySlot(FrmAscii& form, int i);
// A slot whose code did not arrive with the board's table: its number in
// grey, its field empty. The baseline look (ApplySlotStyle) ends the mark.
void markSlotMissing(FrmAscii& form, int i);
bool slotMissing(const FrmAscii& form, int i);
// Every slot emptied, in code order.
void emptyTable(FrmAscii& form);
