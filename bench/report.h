// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

// One performance figure: what was measured, what it should be, and whether
// it is. The bench only reports; nothing fails on a missed target.
struct Row {
    QString figure;
    QString measured;
    QString target;
    bool met = false;
};

// A row for a figure that could not be measured; the reason goes in its place.
Row notMeasured(const QString& figure, const QString& target, const QString& reason);

// The rows as one Markdown-style table with aligned columns and a header.
void printTable(const std::vector<Row>& rows);

QString decimal(double value, int decimals);
