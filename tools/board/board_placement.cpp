// SPDX-License-Identifier: GPL-3.0-or-later
#include "board_placement.h"

#include "form/form_scale.h"
#include "form/window_design.h"

namespace {
constexpr int Gap = 8;
} // namespace

QRect zerboFrame(QRect available) {
    const QSize client = WindowDesign::ClientTwips / DesignTwipsPerPixel;
    const double scale = fitScale(client, AssumedFrame, available);
    const QSize frame = (QSizeF(client) * scale).toSize().grownBy(AssumedFrame);
    QRect both;
    for (const QPointF twips : {QPointF(WindowDesign::WaitingTwips), WindowDesign::StartTwips}) {
        const QRect at(((twips / DesignTwipsPerPixel) * scale).toPoint(), frame);
        both |= QRect(keptInside(at, available), frame);
    }
    return both;
}

QPoint boardPlace(QSize boardFrame, QRect available, QRect zerbo) {
    const int right = available.x() + available.width() - boardFrame.width();
    const int bottom = available.y() + available.height() - boardFrame.height();
    if (right >= zerbo.x() + zerbo.width() + Gap)
        return {right, std::max(available.y(), std::min(zerbo.y(), bottom))};
    if (bottom >= zerbo.y() + zerbo.height() + Gap)
        return {std::max(available.x(), std::min(zerbo.x(), right)), bottom};
    return {std::max(available.x(), right), std::max(available.y(), bottom)};
}
