// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/background_window.h"

#include "form/app_icon.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <vector>

namespace {
// Before the first activation the picture keeps its design-time place.
const QRect designedPicture(0, 0, 320, 240);

QScreen* screenOf(const QWidget* widget) {
    QScreen* screen = widget->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

// 0 at the edge, rising smoothly to 1 at `width` pixels in.
std::vector<double> borderFalloff(int length, int width) {
    std::vector<double> factors(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const double t = std::clamp(std::min(i, length - 1 - i) / double(width), 0.0, 1.0);
        factors[static_cast<size_t>(i)] = t * t * (3 - 2 * t);
    }
    return factors;
}
} // namespace

BackgroundWindow::BackgroundWindow(QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), mainWindow_(mainWindow),
      imgBild1_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmBack"));
    setWindowIcon(appIcon());
    const QRect screenArea = screenOf(this)->geometry();
    setGeometry(screenArea);

    imgBild1_->setObjectName(QStringLiteral("imgBild1"));
    imgBild1_->setScaledContents(true);
    imgBild1_->setPixmap(QPixmap::fromImage(backdropImage(screenArea.size())));
    imgBild1_->setGeometry(designedPicture);
    imgBild1_->installEventFilter(this);
}

QImage BackgroundWindow::backdropImage(const QSize& size) {
    const int width = std::max(size.width(), 1);
    const int height = std::max(size.height(), 1);
    QImage image(width, height, QImage::Format_Grayscale8);
    const int border = std::max(std::min(width, height) / 20, 1);
    const std::vector<double> across = borderFalloff(width, border);
    const std::vector<double> down = borderFalloff(height, border);
    for (int y = 0; y < height; ++y) {
        const double gradient = 250.0 * (1.0 - y / double(std::max(height - 1, 1)));
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = static_cast<uchar>(gradient * across[size_t(x)] * down[size_t(y)] + 0.5);
    }
    return image;
}

void BackgroundWindow::Form_Activate() {
    if (pictureFitted_)
        return;
    imgBild1_->setGeometry(0, 0, width(), height());
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
    pictureFitted_ = true;
}

void BackgroundWindow::Form_DblClick() {
    close();
    emit endRequested();
}

void BackgroundWindow::imgBild1_DblClick() {
    imgBild1_->hide();
    emit endRequested();
}

bool BackgroundWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void BackgroundWindow::mouseDoubleClickEvent(QMouseEvent*) {
    Form_DblClick();
}

bool BackgroundWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgBild1_ && event->type() == QEvent::MouseButtonDblClick) {
        imgBild1_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
