// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>

class QWidget;

// The top-left corner of a window's outer frame on the screen, in twips.
QPointF windowPosition(const QWidget& window);
// Moves the window's outer frame to the position in twips.
void moveWindow(QWidget& window, QPointF twips);
// Moves the window's outer frame to the position in twips, then only as far
// as needed to keep the frame on the available area of the screen the forms
// were fitted to.
void placeWindow(QWidget& window, QPointF twips);
// Moves the window only as far as needed to keep its outer frame on the
// available area of the screen the forms were fitted to. Before the window
// system has framed it, the frame is counted as AssumedFrame round the
// client area: a window that fits keeps its client area where it is. Once
// it is framed, the client area is put back where it was asked for and the
// real frame kept on the area, unless the program has moved it meanwhile:
// so a window whose real frame is smaller than assumed does not jump when
// the program next places it.
void keepOnScreen(QWidget& window);
