// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/yield.h"

#include <QCoreApplication>
#include <QEventLoop>

void yieldToEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
