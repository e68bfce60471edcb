// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;

// A text field takes at most its maxLength characters and silently drops the
// rest of a longer paste or drop. With this the field says so: at once in a
// tool tip beside it, and in its tool tip and accessible description for as
// long as it stays full. The window's own texts stay as they are.
void tellWhenInputIsCut(QLineEdit* field);
