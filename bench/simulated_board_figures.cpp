// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated board (zerbo-board --firmware): its CPU while idle and while
// the firmware sends the table again and again, and the table's time in
// simulated time, from the LED patterns the firmware logs.
#include "board_process.h"
#include "figures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <fcntl.h>
#include <functional>
#include <termios.h>
#include <unistd.h>

namespace {
const QString IdleFigure = QStringLiteral("Simulated board CPU, idle");
const QString SendingFigure = QStringLiteral("Simulated board CPU, sending the table");
const QString TableFigure = QStringLiteral("Table on the simulated board (simulated time)");
const QString IdleTarget = QStringLiteral("< 3 % of a core");
const QString SendingTarget = QStringLiteral("< 10 % of a core");
const QString TableTarget = QStringLiteral("66.7 ms ± 1 %");

// User and system CPU of a process, in seconds, from /proc/PID/stat.
double processCpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
           double(sysconf(_SC_CLK_TCK));
}

double cpuPercentOver(qint64 pid, int ms, const std::function<void()>& meanwhile) {
    const double before = processCpuSeconds(pid);
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < ms)
        meanwhile();
    return 100.0 * (processCpuSeconds(pid) - before) / (wall.elapsed() / 1000.0);
}
} // namespace

std::vector<Row> simulatedBoardRows(int idleSeconds) {
    const QString image = QStringLiteral(ZERBO_FIRMWARE_HEX);
    if (image.isEmpty() || !QFile::exists(image))
        return {notMeasured(IdleFigure, IdleTarget, QStringLiteral("no firmware (gcc-avr)")),
                notMeasured(SendingFigure, SendingTarget, QStringLiteral("no firmware"))};
    BoardProcess board(firmwareOptions(image));
    if (!board.started())
        return {notMeasured(IdleFigure, IdleTarget, QStringLiteral("no firmware engine (simavr)")),
                notMeasured(SendingFigure, SendingTarget, QStringLiteral("no firmware engine"))};
    const int port = ::open(board.link().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios raw{};
    ::tcgetattr(port, &raw);
    cfmakeraw(&raw);
    ::tcsetattr(port, TCSANOW, &raw);
    // The board's log is read all along: a full pipe would stall the board.
    double first = -1, tableMs = -1;
    const auto drain = [port, &board, &first, &tableMs] {
        char buffer[512];
        while (::read(port, buffer, sizeof buffer) > 0) {
        }
        board.readAvailable();
        // One table's LED patterns: code 0 shown to code 255 shown, one frame more.
        for (const Arrival& led : std::as_const(board.leds)) {
            if (tableMs >= 0)
                break;
            if (led.code == 0)
                first = led.seconds;
            else if (led.code == 255 && first >= 0)
                tableMs = (led.seconds - first) * 1000 + 10 * 1000.0 / 38461.5;
        }
        board.leds.clear();
        board.rx.clear();
        board.lines.clear();
    };
    const double idle = cpuPercentOver(board.process().processId(), idleSeconds * 1000, [&] {
        QThread::msleep(50);
        drain();
    });
    first = -1;
    // A press every 100 ms: the table takes 67 ms of each.
    QElapsedTimer sinceKey;
    const double sending = cpuPercentOver(board.process().processId(), 5000, [&] {
        if (!sinceKey.isValid() || sinceKey.elapsed() >= 100) {
            board.process().write("key1\n");
            sinceKey.start();
        }
        QThread::msleep(10);
        drain();
    });
    ::close(port);
    return {
        {IdleFigure, decimal(idle, 1) + QStringLiteral(" %"), IdleTarget, idle < 3},
        {SendingFigure, decimal(sending, 1) + QStringLiteral(" %"), SendingTarget, sending < 10},
        {TableFigure, decimal(tableMs, 2) + QStringLiteral(" ms"), TableTarget,
         tableMs > 66.7 * 0.99 && tableMs < 66.7 * 1.01}};
}
