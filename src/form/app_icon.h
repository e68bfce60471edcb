// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's icon, an orbiter seen from above, in 16 and 32 pixels.
QIcon appIcon();
