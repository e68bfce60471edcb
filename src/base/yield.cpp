// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/yield.h"

#include "base/nesting_log.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopedValueRollback>

namespace {
int depth = 0;

void handleEvents(QEventLoop::ProcessEventsFlags flags) {
    const QScopedValueRollback nested(depth, depth + 1);
    qCDebug(lcNesting, "yield at depth %d", depth);
    QCoreApplication::processEvents(flags);
}
} // namespace

void yieldToEvents() {
    handleEvents(QEventLoop::AllEvents);
}

void waitForEvents() {
    handleEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
