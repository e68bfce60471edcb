// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the program's sends, timed by the board: the arrival times it
// notes itself, not when this process reads its log.
#include "board_process.h"
#include "figures.h"
#include "measure.h"
#include "program.h"

#include "app/zerbo.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

namespace {
constexpr int StringLength = 100;
constexpr double StringPauseMs = 10;
constexpr double MedianToleranceMs = 0.2;
constexpr double Percentile95ToleranceMs = 1;
// Twice the pause would look like a lost byte to a board that times the gaps.
constexpr double LongestToleranceMs = 10;
constexpr int ContinuousMs = 2000;
constexpr double RateTarget = 1000;
constexpr int ArriveMs = 10000;
// Bytes still on their way when the send returns.
constexpr int InFlightMs = 200;

// Runs the action once the send has opened the port, after its start-up checks.
// Polled at every yield of the send, so the first one after the opening acts.
void onceSending(Zerbo& zerbo, std::function<void()> action) {
    later(0, [&zerbo, action] {
        if (zerbo.port().PortOpen())
            action();
        else
            onceSending(zerbo, action);
    });
}
} // namespace

std::vector<Row> stringGapRows(Zerbo& zerbo, BoardProcess& board) {
    const QString figure =
        QStringLiteral("string send, %1 characters at %2 ms: %3 gap at the board")
            .arg(StringLength)
            .arg(StringPauseMs);
    const std::array<QString, 3> figures{figure.arg(QStringLiteral("median")),
                                         figure.arg(QStringLiteral("95th percentile")),
                                         figure.arg(QStringLiteral("longest"))};
    const std::array<double, 3> tolerances{MedianToleranceMs, Percentile95ToleranceMs,
                                           LongestToleranceMs};
    const auto target = [](double tolerance) {
        return QStringLiteral("within %1 ms of %2 ms").arg(tolerance).arg(StringPauseMs);
    };
    board.takeArrivals(); // what the fill sent
    zerbo.form().txtS()->setText(QString(StringLength, QLatin1Char('U')));
    // The send raises the field to its minimum at its start; the pause asked
    // is set once it runs.
    onceSending(zerbo, [&zerbo] { zerbo.form().txtTime()->setText(decimal(StringPauseMs, 0)); });
    zerbo.form().cmdSend()->click(); // returns once the last character went out
    const std::vector<Arrival> arrivals = board.waitForArrivals(StringLength, ArriveMs);
    std::vector<Row> rows;
    if (arrivals.size() < 3) {
        for (size_t i = 0; i < figures.size(); ++i)
            rows.push_back(notMeasured(figures[i], target(tolerances[i]),
                                       QStringLiteral("%1 bytes arrived").arg(arrivals.size())));
        return rows;
    }
    // The first character may still have had the minimum pause; its gap is left out.
    std::vector<double> gaps;
    for (size_t i = 2; i < arrivals.size(); ++i)
        gaps.push_back(1000 * (arrivals[i].seconds - arrivals[i - 1].seconds));
    const std::array<double, 3> measured{median(gaps), percentile(gaps, 95),
                                         *std::max_element(gaps.begin(), gaps.end())};
    for (size_t i = 0; i < figures.size(); ++i)
        rows.push_back(
            {figures[i],
             QStringLiteral("%1 ms (%2 bytes)").arg(decimal(measured[i], 3)).arg(arrivals.size()),
             target(tolerances[i]), std::abs(measured[i] - StringPauseMs) <= tolerances[i]});
    return rows;
}

Row continuousRateRow(Zerbo& zerbo, BoardProcess& board) {
    const QString figure = QStringLiteral("continuous send, empty pause field: rate at the board");
    const QString target = QStringLiteral("above %1 bytes/s").arg(RateTarget);
    board.takeArrivals();
    zerbo.form().txtO()->setText(QStringLiteral("141"));
    // The send raises an empty field to its minimum at its start; emptied
    // once it runs, there is no pause at all.
    onceSending(zerbo, [&zerbo] {
        zerbo.form().txtTime()->clear();
        later(ContinuousMs, [&zerbo] { zerbo.form().cmdStopC()->click(); });
    });
    zerbo.form().cmdSendC()->click(); // loops until the stop
    const std::vector<Arrival> arrivals = board.waitForArrivals(SIZE_MAX, InFlightMs);
    // The first byte went out after the minimum pause; the rate counts from the second.
    if (arrivals.size() < 3)
        return notMeasured(figure, target, QStringLiteral("%1 bytes arrived").arg(arrivals.size()));
    const double seconds = arrivals.back().seconds - arrivals[1].seconds;
    const double rate = double(arrivals.size() - 2) / seconds;
    return {figure,
            QStringLiteral("%1 bytes/s (%2 bytes in %3 s)")
                .arg(decimal(rate, 0))
                .arg(arrivals.size())
                .arg(decimal(seconds, 2)),
            target, rate > RateTarget};
}
