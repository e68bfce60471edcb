// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of the real zerbo binary, started as a user starts it on the
// board's port: its high-water mark once the table has been received.
#include "board_process.h"
#include "figures.h"
#include "process_probe.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>
#include <functional>
#include <sys/resource.h>

namespace {
constexpr double TargetMb = 35;
constexpr int BoundMs = 10000;
// After the reception the window repaints the whole table; let it.
constexpr int SettleMs = 500;

// Polls without an event loop: the program under measurement is another process.
bool waitFor(const std::function<bool()>& condition, int boundMs) {
    for (int waited = 0; waited < boundMs; waited += 10) {
        if (condition())
            return true;
        QThread::msleep(10);
    }
    return condition();
}

// A field of /proc/PID/status in kB, or -1.
qint64 statusKb(qint64 pid, const QByteArray& field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').constFirst().toLongLong();
    return -1;
}

// Decimal megabytes of the kibibytes the kernel counts in.
double megabytes(qint64 kb) {
    return double(kb) * 1024 / 1e6;
}

Row memoryRow(const QString& whose, qint64 kb) {
    return {QStringLiteral("peak memory, %1").arg(whose),
            QStringLiteral("%1 MB (%2 MiB)")
                .arg(megabytes(kb), 0, 'f', 1)
                .arg(double(kb) / 1024, 0, 'f', 1),
            QStringLiteral("under %1 MB").arg(TargetMb), megabytes(kb) < TargetMb};
}

// The whole life of the real program, up to its peak; -1 with the reason if
// a step fails.
qint64 realProgramPeakKb(QString& failure) {
    BoardProcess board({QStringLiteral("--timestamps")}); // rx lines with their times
    if (!board.started()) {
        failure = QStringLiteral("the board did not start");
        return -1;
    }
    QProcess program;
    program.start(QStringLiteral(ZERBO_BINARY), {QStringLiteral("--port"), board.link()});
    if (!program.waitForStarted(BoundMs)) {
        failure = QStringLiteral("zerbo did not start");
        return -1;
    }
    const auto end = qScopeGuard([&program] {
        program.terminate();
        if (!program.waitForFinished(BoundMs)) {
            program.kill();
            program.waitForFinished(BoundMs);
        }
    });
    const qint64 pid = program.processId();
    const QString device = board.devicePath();
    if (!waitFor([&] { return holdsDevice(pid, device); }, BoundMs)) {
        failure = QStringLiteral("zerbo never opened the port");
        return -1;
    }
    board.pressKeyOne();
    if (!waitFor([&] { return !holdsDevice(pid, device); }, BoundMs)) {
        failure = QStringLiteral("zerbo did not end its reception");
        return -1;
    }
    QThread::msleep(SettleMs);
    const qint64 peakKb = statusKb(pid, "VmHWM");
    if (peakKb < 0)
        failure = QStringLiteral("no VmHWM in /proc");
    return peakKb;
}
} // namespace

Row peakMemoryRow() {
    QString failure;
    const qint64 kb = realProgramPeakKb(failure);
    if (kb >= 0)
        return memoryRow(QStringLiteral("zerbo binary after receiving the table (VmHWM)"), kb);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return memoryRow(QStringLiteral("this bench's own process (%1)").arg(failure), usage.ru_maxrss);
}
