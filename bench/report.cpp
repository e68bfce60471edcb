// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdio>

namespace {
using Cells = std::array<QString, 4>;

Cells cellsOf(const Row& row) {
    return {row.figure, row.measured, row.target,
            row.met ? QStringLiteral("yes") : QStringLiteral("no")};
}

void printLine(const Cells& cells, const std::array<qsizetype, 4>& widths) {
    QString line = QStringLiteral("|");
    for (size_t column = 0; column < cells.size(); ++column)
        line +=
            QLatin1Char(' ') + cells[column].leftJustified(widths[column]) + QStringLiteral(" |");
    std::printf("%s\n", qPrintable(line));
}
} // namespace

Row notMeasured(const QString& figure, const QString& target, const QString& reason) {
    return {figure, QStringLiteral("not measured: ") + reason, target, false};
}

void printTable(const std::vector<Row>& rows) {
    const Cells header{QStringLiteral("figure"), QStringLiteral("measured"),
                       QStringLiteral("target"), QStringLiteral("met")};
    std::array<qsizetype, 4> widths{};
    for (size_t column = 0; column < widths.size(); ++column) {
        widths[column] = header[column].size();
        for (const Row& row : rows)
            widths[column] = std::max(widths[column], cellsOf(row)[column].size());
    }
    printLine(header, widths);
    Cells rule;
    for (size_t column = 0; column < rule.size(); ++column)
        rule[column] = QString(widths[column], QLatin1Char('-'));
    printLine(rule, widths);
    for (const Row& row : rows)
        printLine(cellsOf(row), widths);
    std::fflush(stdout);
}

QString decimal(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}
