// SPDX-License-Identifier: GPL-3.0-or-later
#include "key_one.h"

#include "virtual_line.h"

#include <algorithm>

KeyOne::KeyOne(VirtualLine& line, QObject* parent) : QObject(parent), line_(line) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &KeyOne::sendDue);
}

void KeyOne::press() {
    next_ = 0;
    clock_.start();
    sendDue();
}

qint64 KeyOne::dueNs(int index) const {
    const qint64 step = pauseMs_ > 0 ? qint64(pauseMs_) * 1000000 : LineByteNs;
    return index * step;
}

void KeyOne::sendDue() {
    const qint64 now = clock_.nsecsElapsed();
    while (next_ < CodeCount && dueNs(next_) <= now) {
        const auto code = static_cast<unsigned char>(next_);
        const bool lost = line_.send(QByteArray(1, static_cast<char>(code))) != 1;
        emit sent(code, lost);
        ++next_;
    }
    if (next_ == CodeCount) {
        emit finished();
        return;
    }
    const qint64 waitNs = dueNs(next_) - clock_.nsecsElapsed();
    timer_.start(int(std::max<qint64>(0, (waitNs + 999999) / 1000000)));
}
