// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the board's window opens so that ZERBO's main window, started next,
// does not cover it: beside ZERBO (at the right edge of the screen), else
// below it; where neither fits, at the bottom right and kept above ZERBO, so
// that Key 1 and the LEDs stay in sight.
struct BoardPlace {
    QPoint topLeft; // of the frame
    bool keepOnTop = false;
};

// ZERBO's frame on a screen with this available area, from its start
// position while it waits to the one it takes after the table.
QRect zerboFrame(QRect available);

BoardPlace boardPlace(QSize boardFrame, QRect available, QRect zerbo);
