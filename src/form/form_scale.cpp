// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_scale.h"

#include "form/window_design.h"

#include <QApplication>
#include <QProxyStyle>
#include <QScreen>
#include <algorithm>

double fitScale(QSize client, QMargins frame, QRect available) {
    const double across = double(available.width() - frame.left() - frame.right()) / client.width();
    const double down = double(available.height() - frame.top() - frame.bottom()) / client.height();
    return std::clamp(std::min(across, down), MinimumScale, 1.0);
}

QPoint keptInside(QRect frame, QRect area) {
    const auto edge = [](int start, int extent, int areaStart, int areaExtent) {
        return std::max(areaStart, std::min(start, areaStart + areaExtent - extent));
    };
    return {edge(frame.x(), frame.width(), area.x(), area.width()),
            edge(frame.y(), frame.height(), area.y(), area.height())};
}

namespace {
struct Fit {
    double scale = 1;
    QRect area;
};

// The style's own measures (check box and option button marks, margins,
// spacing) in proportion too, or the smaller captions would be cut off by
// marks of the full size.
class ScaledStyle : public QProxyStyle {
public:
    ScaledStyle(const QString& base, double scale) : QProxyStyle(base), scale_(scale) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        return qRound(QProxyStyle::pixelMetric(metric, option, widget) * scale_);
    }

private:
    double scale_;
};

// From the screen the main window starts on, else the primary one.
Fit decide() {
    const QPoint start = (WindowDesign::StartTwips / DesignTwipsPerPixel).toPoint();
    QScreen* screen = QGuiApplication::screenAt(start);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) // no screen at all: nothing to fit
        return {};
    const QRect area = screen->availableGeometry();
    const QSize client = WindowDesign::ClientTwips / DesignTwipsPerPixel;
    return {fitScale(client, AssumedFrame, area), area};
}

const Fit& fit() {
    static const Fit decided = decide();
    return decided;
}
} // namespace

void applyFormScale() {
    static bool applied = false; // a second scaled style would shrink the measures twice
    const double scale = formScale();
    if (applied || scale >= 1 || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    applied = true;
    QApplication::setStyle(new ScaledStyle(QApplication::style()->name(), scale));
}

double formScale() {
    return fit().scale;
}
QRect fittedArea() {
    return fit().area;
}

double twipsPerPixel() {
    return DesignTwipsPerPixel / formScale();
}

double scaledPoints(double points) {
    return points * formScale();
}
