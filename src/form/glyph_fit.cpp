// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/glyph_fit.h"

#include "base/charset.h"

#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QPainter>

namespace {
// The rows an image has that differ from the other, as a first and last row.
std::pair<int, int> changedRows(const QImage& a, const QImage& b) {
    int first = -1, last = -1;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

int inkHeight(const QFont& font, const QString& text) {
    QImage blank(4 * QFontMetrics(font).height(), 4 * QFontMetrics(font).height(),
                 QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage page = blank;
    QPainter painter(&page);
    painter.setFont(font);
    painter.drawText(page.width() / 4, page.height() / 2, text);
    painter.end();
    const auto [first, last] = changedRows(page, blank);
    return first < 0 ? 0 : last - first + 1;
}

// Whether the field draws the text whole: as tall as drawn where nothing cuts it.
bool drawnWhole(QLineEdit& probe, const QString& text) {
    probe.clear();
    const QImage blank = probe.grab().toImage();
    probe.setText(text);
    const auto [first, last] = changedRows(probe.grab().toImage(), blank);
    return first >= 0 && last - first + 1 >= inkHeight(probe.font(), text);
}
} // namespace

QFont fittedCharacterFont(const QLineEdit& field, const QFont& font) {
    // Every slot's field has the same size and look: one answer per size.
    static QHash<QString, double> fitted;
    const QString key = font.toString() + QString::number(field.height());
    QFont result = font;
    if (const auto known = fitted.constFind(key); known != fitted.cend()) {
        result.setPointSizeF(*known);
        return result;
    }
    // The tallest characters of the table, each alone in a field like the slot's, as the slot
    // shows it: the accented capitals and the cedilla.
    QLineEdit probe;
    probe.setFrame(field.hasFrame());
    probe.setAlignment(field.alignment());
    probe.setPalette(field.palette());
    probe.resize(field.size());
    const auto whole = [&probe] {
        for (int code = 192; code <= 221; ++code)
            if (!drawnWhole(probe, textFromByte(static_cast<unsigned char>(code))))
                return false;
        return true;
    };
    for (double size = font.pointSizeF(); size > 1; size -= 0.25) {
        result.setPointSizeF(size);
        probe.setFont(result);
        if (whole())
            break;
    }
    fitted.insert(key, result.pointSizeF());
    return result;
}
