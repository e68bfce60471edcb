// SPDX-License-Identifier: GPL-3.0-or-later
// bench_report: every performance figure of ZERBO in one table, measured on
// pseudo-terminals against the real virtual board (zerbo-board).
//
//   bench_report [--idle-seconds N]   (CPU while waiting is measured over N s, default 20)
#include "board_process.h"
#include "figures.h"
#include "report.h"

#include "app/zerbo.h"

#include <QApplication>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

namespace {
constexpr int DefaultIdleSeconds = 20;

int idleSecondsFrom(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--idle-seconds")
            return std::max(1, std::atoi(argv[i + 1]));
    return DefaultIdleSeconds;
}

// Load on the machine while measuring: the figures are noisy when it is high.
QString loadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? QString::number(load[0], 'f', 2) : QStringLiteral("?");
}

std::vector<Row> measureAll(const char* self, int idleSeconds) {
    BoardProcess board({QStringLiteral("--timestamps")}); // rx lines with their times
    if (!board.started())
        throw std::runtime_error("zerbo-board did not start: is it built?");
    const Row startup = startupRow(self, board);
    const std::vector<Row> mapped = mappedStartupRows(board);

    // Measured in the order that disturbs least, listed in the table's order.
    Zerbo zerbo(board.link());
    const ReceptionRows reception = receptionRows(zerbo, board, idleSeconds);
    const Row fill = localFillRow(zerbo);
    const std::vector<Row> stringGaps = stringGapRows(zerbo, board);
    const Row continuousRate = continuousRateRow(zerbo, board);
    const Row memory = peakMemoryRow();
    std::vector<Row> rows{reception.waiting, startup};
    rows.insert(rows.end(), mapped.begin(), mapped.end());
    rows.insert(rows.end(), {memory, reception.burst, fill});
    rows.insert(rows.end(), stringGaps.begin(), stringGaps.end());
    rows.push_back(continuousRate);
    const std::vector<Row> simulated = simulatedBoardRows(std::min(idleSeconds, 10));
    rows.insert(rows.end(), simulated.begin(), simulated.end());
    return rows;
}
} // namespace

int main(int argc, char** argv) {
    // The same platform for the bench, its start-up children and the real binary.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The event loop the program picks for itself (src/main.cpp).
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    if (isStartupChild(argc, argv))
        return startupChild(argc, argv);

    QApplication app(argc, argv);
    const int idleSeconds = idleSecondsFrom(argc, argv);
    std::printf("Measuring (about %d s; load average %s on %d cores)...\n",
                idleSeconds + std::min(idleSeconds, 10) + 20, qPrintable(loadAverage()),
                QThread::idealThreadCount());
    std::fflush(stdout);
    try {
        const std::vector<Row> rows = measureAll(argv[0], idleSeconds);
        std::printf("\n");
        printTable(rows);
        std::printf("\nLoad average after measuring: %s\n", qPrintable(loadAverage()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_report: %s\n", error.what());
        return 1;
    }
    return 0;
}
