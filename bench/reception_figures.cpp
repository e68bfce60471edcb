// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the program's start-up reception and its local fill, with the
// program running in this process on the board's port.
#include "board_process.h"
#include "figures.h"
#include "measure.h"
#include "process_probe.h"
#include "program.h"

#include "app/zerbo.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace {
// Only turns a table that never comes into a figure instead of a hang.
constexpr int ArriveMs = 10000;
constexpr double IdleTargetPercent = 0.1;
constexpr double FillPauseMs = 10;
constexpr double FillTargetSeconds = 256 * FillPauseMs / 1000;
constexpr double FillTolerancePercent = 5;
} // namespace

ReceptionRows receptionRows(Zerbo& zerbo, BoardProcess& board, int idleSeconds) {
    double idlePercent = -1;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&board] { board.kill(); });
    onceWaiting(zerbo, [&] {
        const double cpuBefore = cpuSeconds();
        const qint64 wallBefore = monotonicNs();
        later(idleSeconds * 1000, [&, cpuBefore, wallBefore] {
            const double wallSeconds = double(monotonicNs() - wallBefore) / 1e9;
            idlePercent = 100.0 * (cpuSeconds() - cpuBefore) / wallSeconds;
            board.pressKeyOne();
            watchdog.start(ArriveMs);
        });
    });
    zerbo.Form_Load(); // returns once the reception has ended
    const bool arrivedInTime = watchdog.isActive();
    watchdog.stop();

    const QString idleFigure =
        QStringLiteral("CPU while waiting for the board (port open, %1 s)").arg(idleSeconds);
    const QString idleTarget = QStringLiteral("under %1 % of a core").arg(IdleTargetPercent);
    const Row waiting =
        idlePercent < 0 ? notMeasured(idleFigure, idleTarget, QStringLiteral("no waiting seen"))
                        : Row{idleFigure, decimal(idlePercent, 3) + QStringLiteral(" % of a core"),
                              idleTarget, idlePercent < IdleTargetPercent};
    const int filled = numberedSlots(zerbo.form());
    const Row burst{QStringLiteral("full-rate burst from the board: slots filled"),
                    QStringLiteral("%1 of 256").arg(filled), QStringLiteral("256 of 256"),
                    filled == 256 && arrivedInTime};
    return {waiting, burst};
}

Row localFillRow(Zerbo& zerbo) {
    zerbo.form().txtTime()->setText(decimal(FillPauseMs, 0));
    QElapsedTimer fill;
    fill.start();
    zerbo.form().cmdMan()->click();
    const double seconds = double(fill.nsecsElapsed()) / 1e9;
    const double offPercent = 100.0 * (seconds - FillTargetSeconds) / FillTargetSeconds;
    return {QStringLiteral("local fill at %1 ms: total time").arg(FillPauseMs),
            QStringLiteral("%1 s (%2%3 %)")
                .arg(decimal(seconds, 3), offPercent >= 0 ? "+" : "", decimal(offPercent, 1)),
            QStringLiteral("within %1 % of %2 s").arg(FillTolerancePercent).arg(FillTargetSeconds),
            std::abs(offPercent) <= FillTolerancePercent};
}
