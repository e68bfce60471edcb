// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/loopback.h"

#include <QByteArray>
#include <QString>

// The cable test's report for the user, a few lines: how many came back, in
// order or not, the missing codes, the wrong ones with the bits that differ,
// extra bytes, the time taken and what the result suggests.
QString loopbackReport(const QString& device, const QByteArray& sent, const Loopback::Echo& echo);

// Every code came back once, intact and in order.
inline bool loopbackPassed(const QByteArray& sent, const Loopback::Echo& echo) {
    return echo.received == sent;
}
