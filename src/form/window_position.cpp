// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/window_position.h"

#include "form/form_scale.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <cmath>

QPointF windowPosition(const QWidget& window) {
    return QPointF(window.frameGeometry().topLeft()) * twipsPerPixel();
}

namespace {
const char* const Placed = "zerboPlaced"; // set once the program has moved the window

// Waits for the window's first frame, then keeps it on the area as framed.
class FrameWatch : public QObject {
public:
    FrameWatch(QWidget& window, QPoint client)
        : QObject(&window), window_(window), client_(client) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
            window_.isVisible() && window_.frameGeometry() != window_.geometry()) {
            window_.removeEventFilter(this);
            if (!window_.property(Placed).toBool())
                reframe();
            deleteLater();
        }
        return false;
    }

private:
    void reframe() {
        const QPoint frameOffset = window_.geometry().topLeft() - window_.frameGeometry().topLeft();
        const QRect frame(client_ - frameOffset, window_.frameGeometry().size());
        const QRect area = fittedArea();
        const QPoint inside = area.isEmpty() ? frame.topLeft() : keptInside(frame, area);
        if (inside != window_.frameGeometry().topLeft())
            window_.move(inside);
    }

    QWidget& window_;
    QPoint client_; // where the client area was asked for
};
} // namespace

void moveWindow(QWidget& window, QPointF twips) {
    window.setProperty(Placed, true);
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
    if (!framed)
        new FrameWatch(window, window.geometry().topLeft());
    const QRect frame =
        framed ? window.frameGeometry() : window.geometry().marginsAdded(AssumedFrame);
    // Moved, the frame's corner is what counts, as for placeWindow.
    const QPoint inside = keptInside(frame, area);
    if (inside != frame.topLeft())
        window.move(inside);
}
