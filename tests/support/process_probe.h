// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What a process is doing, seen from outside: used by the tests and the
// benchmarks alike.

// CPU time this process has used so far, user and system, in seconds.
double cpuSeconds();

// Whether the process has the device open, by its open descriptors.
bool holdsDevice(qint64 pid, const QString& device);
