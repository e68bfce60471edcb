// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QRect>

// A program's line about its window, written with ZERBO_REPORT_GEOMETRY set:
// "geometry: PHASE scale S frame X Y W H available X Y W H" from ZERBO,
// "board geometry: frame X Y W H" from the virtual board.
struct GeometryReport {
    QString line; // empty when no such line came
    QString said; // every line read up to it, for a failure's message
    double scale = 0;
    QRect frame, available;
};

// The first line starting with prefix on the channel the program is read from,
// within timeoutMs; lines after it stay unread for the next call.
GeometryReport readGeometry(QProcess& program, const QString& prefix, int timeoutMs = 20000);
