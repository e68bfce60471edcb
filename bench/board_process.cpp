// SPDX-License-Identifier: GPL-3.0-or-later
#include "board_process.h"

#include <QDeadlineTimer>
#include <QFileInfo>

namespace {
constexpr int StartMs = 10000;
}

BoardProcess::BoardProcess() {
    const QStringList arguments{"--headless", "--timestamps", "--key-from-stdin", "--link", link()};
    process_.start(QStringLiteral(ZERBO_BOARD_BINARY), arguments);
    started_ = waitForLine(QStringLiteral("port ") + link(), StartMs);
    if (!started_)
        qWarning("zerbo-board did not publish its port: %s",
                 qPrintable(process_.readAllStandardError()));
}

BoardProcess::~BoardProcess() {
    process_.terminate();
    if (!process_.waitForFinished(StartMs))
        process_.kill();
}

QString BoardProcess::devicePath() const {
    return QFileInfo(link()).symLinkTarget();
}

void BoardProcess::pressKeyOne() {
    process_.write("key1\n");
    process_.waitForBytesWritten(StartMs);
}

std::vector<Arrival> BoardProcess::takeArrivals() {
    readLines();
    std::vector<Arrival> arrivals;
    for (const QString& line : std::as_const(lines_)) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() == 3 && fields[0] == QStringLiteral("rx"))
            arrivals.push_back({fields[1].toInt(), fields[2].toDouble()});
    }
    lines_.clear();
    return arrivals;
}

std::vector<Arrival> BoardProcess::waitForArrivals(size_t count, int boundMs) {
    std::vector<Arrival> arrivals = takeArrivals();
    QDeadlineTimer deadline(boundMs);
    while (arrivals.size() < count && process_.waitForReadyRead(int(deadline.remainingTime()))) {
        const std::vector<Arrival> more = takeArrivals();
        arrivals.insert(arrivals.end(), more.begin(), more.end());
    }
    return arrivals;
}

bool BoardProcess::waitForLine(const QString& wanted, int boundMs) {
    QDeadlineTimer deadline(boundMs);
    for (;;) {
        readLines();
        if (lines_.removeOne(wanted))
            return true;
        if (!process_.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
}

void BoardProcess::readLines() {
    partial_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
    QStringList complete = partial_.split(QLatin1Char('\n'));
    partial_ = complete.takeLast();
    lines_ += complete;
}
