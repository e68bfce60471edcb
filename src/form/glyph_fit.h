// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

class QLineEdit;

// The font for a character field: as given where the tallest characters of
// the table (the accented capitals, the cedilla) are drawn whole in the
// field; else the largest smaller size at which they are. Found once per size
// by drawing them in a field of the same size.
QFont fittedCharacterFont(const QLineEdit& field, const QFont& font);
