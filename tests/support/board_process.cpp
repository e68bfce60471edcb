// SPDX-License-Identifier: GPL-3.0-or-later
#include "board_process.h"

#include "process_group.h"
#include "run_program.h"
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr int StartMs = 10000;
}

BoardProcess::BoardProcess(const QStringList& options, bool asNobody) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endsWithTheTest(process_);
    QString program = QStringLiteral(ZERBO_BOARD_BINARY);
    if (asNobody) {
        QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777));
        startsAsNobody(process_);
        program = reachableByNobody(program);
    }
    process_.start(program,
                   QStringList{"--headless", "--key-from-stdin", "--link", link()} + options);
    started_ = waitForLine(QStringLiteral("port ") + link(), StartMs);
    if (!started_)
        qWarning("zerbo-board did not publish its port");
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

bool BoardProcess::readUntil(const std::function<bool()>& enough, int boundMs) {
    QDeadlineTimer deadline(boundMs);
    for (;;) {
        sortLines();
        if (enough())
            return true;
        if (!process_.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
}

void BoardProcess::readAvailable() {
    process_.waitForReadyRead(0);
    sortLines();
}

bool BoardProcess::waitForLine(const QString& wanted, int boundMs) {
    return readUntil([&] { return lines.removeOne(wanted); }, boundMs);
}

void BoardProcess::settle(int ms) {
    QElapsedTimer waited;
    waited.start();
    readUntil([&] { return waited.elapsed() >= ms; }, ms);
    lines.clear();
    rx.clear();
    leds.clear();
}

std::vector<Arrival> BoardProcess::takeArrivals() {
    sortLines();
    std::vector<Arrival> arrivals(rx.begin(), rx.end());
    rx.clear();
    return arrivals;
}

std::vector<Arrival> BoardProcess::waitForArrivals(size_t count, int boundMs) {
    readUntil([&] { return size_t(rx.size()) >= count; }, boundMs);
    return takeArrivals();
}

QList<int> codesOf(const QList<Arrival>& arrivals) {
    QList<int> codes;
    for (const Arrival& arrival : arrivals)
        codes << arrival.code;
    return codes;
}

QStringList firmwareOptions(const QString& image) {
    return {"--log-leds", "--firmware", image};
}

void BoardProcess::sortLines() {
    while (process_.canReadLine()) {
        const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.value(0) == QStringLiteral("rx"))
            rx << Arrival{words.value(1).toInt(), words.value(2).toDouble()};
        else if (words.value(0) == QStringLiteral("led"))
            leds << Arrival{words.value(1).toInt(), words.value(2).toDouble()};
        else
            lines << line;
    }
}
