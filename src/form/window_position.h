#pragma once

#include <QPointF>

class QWidget;

// The top-left corner of a window's outer frame on the screen, in twips.
QPointF windowPosition(const QWidget& window);
// Moves the window's outer frame to the position in twips.
void moveWindow(QWidget& window, QPointF twips);
