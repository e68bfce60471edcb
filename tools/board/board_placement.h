// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the board's window opens so that ZERBO's main window, started next,
// leaves it free: beside ZERBO (at the right edge of the screen), else below
// it; where neither fits, at the bottom right. The window is kept above
// ZERBO's in any case (board_start.cpp), so Key 1 and the LEDs stay in sight
// of whatever ZERBO opens or moves.

// ZERBO's frame on a screen with this available area, from its start
// position while it waits to the one it takes after the table.
QRect zerboFrame(QRect available);

// The top left corner of the board's frame.
QPoint boardPlace(QSize boardFrame, QRect available, QRect zerbo);
