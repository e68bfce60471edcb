// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/window_position.h"

#include "form/form_scale.h"

#include <QWidget>
#include <cmath>

QPointF windowPosition(const QWidget& window) {
    return QPointF(window.frameGeometry().topLeft()) * twipsPerPixel();
}

void moveWindow(QWidget& window, QPointF twips) {
    const double perPixel = twipsPerPixel();
    const auto px = [perPixel](double value) {
        // Far-off values still land somewhere the window system can take.
        return static_cast<int>(std::lround(std::clamp(value / perPixel, -1.0e6, 1.0e6)));
    };
    const QPoint target(px(twips.x()), px(twips.y()));
    if (window.frameGeometry().topLeft() != target)
        window.move(target);
}

void placeWindow(QWidget& window, QPointF twips) {
    moveWindow(window, twips);
    const QRect area = fittedArea();
    if (area.isEmpty())
        return;
    QRect frame = window.frameGeometry();
    if (frame == window.geometry()) // not framed yet: the frame will grow from its corner
        frame.setSize(frame.size().grownBy(AssumedFrame));
    const QPoint inside = keptInside(frame, area);
    if (inside != frame.topLeft())
        window.move(inside);
}

void keepOnScreen(QWidget& window) {
    const QRect area = fittedArea();
    if (area.isEmpty())
        return;
    const bool framed = window.frameGeometry() != window.geometry();
    const QRect frame =
        framed ? window.frameGeometry() : window.geometry().marginsAdded(AssumedFrame);
    // Moved, the frame's corner is what counts, as for placeWindow.
    const QPoint inside = keptInside(frame, area);
    if (inside != frame.topLeft())
        window.move(inside);
}
