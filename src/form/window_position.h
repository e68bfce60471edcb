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
// client area: a window that fits keeps its client area where it is.
void keepOnScreen(QWidget& window);
