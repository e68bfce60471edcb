// SPDX-License-Identifier: GPL-3.0-or-later
#include "led_row.h"

#include <QPainter>

namespace {
constexpr int LedCount = 8;
constexpr int Diameter = 28;
constexpr int Gap = 12;
constexpr int LabelHeight = 18;
const QColor Lit(235, 30, 30);
const QColor Dark(70, 20, 20);
} // namespace

LedRow::LedRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("leds"));
}

void LedRow::showByte(unsigned char byte) {
    if (byte == byte_)
        return;
    byte_ = byte;
    update();
}

QSize LedRow::sizeHint() const {
    return {LedCount * Diameter + (LedCount + 1) * Gap, Diameter + LabelHeight + 2 * Gap};
}

void LedRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int position = 0; position < LedCount; ++position) {
        const int bit = LedCount - 1 - position;
        const QRect led(Gap + position * (Diameter + Gap), Gap, Diameter, Diameter);
        painter.setPen(QPen(Qt::black, 1.5));
        painter.setBrush(byte_ & (1 << bit) ? Lit : Dark);
        painter.drawEllipse(led);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(led.left(), led.bottom() + 4, Diameter, LabelHeight),
                         Qt::AlignCenter, QString::number(bit));
    }
}
