// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/form_style.h"

#include "form/form_scale.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QWidget>

QRect twipsRect(int left, int top, int width, int height) {
    const double perPixel = twipsPerPixel();
    const auto px = [perPixel](int twips) { return qRound(twips / perPixel); };
    return QRect(QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1));
}

QFont courierNewBold(double points) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(scaledPoints(points));
    font.setBold(true);
    return font;
}

namespace {

// Labels paint their background from Window, text fields from Base.
QPalette::ColorRole backgroundRole(const QWidget* field) {
    return qobject_cast<const QLabel*>(field) ? QPalette::Window : QPalette::Base;
}
QPalette::ColorRole textRole(const QWidget* field) {
    return qobject_cast<const QLabel*>(field) ? QPalette::WindowText : QPalette::Text;
}
} // namespace

QFont labelFont() {
    return courierNewBold(9.75);
}
QFont windowFont() {
    return courierNewBold(12);
}

QFont buttonFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(scaledPoints(8.25));
    font.setBold(false); // set, so the bold window font is not inherited
    return font;
}

QColor buttonFace() {
    return QApplication::palette().color(QPalette::Button);
}

void setBackground(QWidget* field, const QColor& colour) {
    const auto role = backgroundRole(field);
    if (field->palette().color(role) == colour)
        return;
    QPalette palette = field->palette();
    palette.setColor(role, colour);
    field->setPalette(palette);
}

void setTextColour(QWidget* field, const QColor& colour) {
    const auto role = textRole(field);
    if (field->palette().color(role) == colour)
        return;
    QPalette palette = field->palette();
    palette.setColor(role, colour);
    field->setPalette(palette);
}

QColor background(const QWidget* field) {
    return field->palette().color(backgroundRole(field));
}
QColor textColour(const QWidget* field) {
    return field->palette().color(textRole(field));
}
