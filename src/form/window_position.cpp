#include "form/window_position.h"

#include "form/form_style.h"

#include <QWidget>
#include <cmath>

QPointF windowPosition(const QWidget& window) {
    return QPointF(window.frameGeometry().topLeft()) * TwipsPerPixel;
}

void moveWindow(QWidget& window, QPointF twips) {
    const auto px = [](double value) {
        // Far-off values still land somewhere the window system can take.
        return static_cast<int>(std::lround(std::clamp(value / TwipsPerPixel, -1.0e6, 1.0e6)));
    };
    const QPoint target(px(twips.x()), px(twips.y()));
    if (window.frameGeometry().topLeft() != target)
        window.move(target);
}
