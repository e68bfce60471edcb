// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QProcess;

// What the call writes on standard error, caught through a file.
QString standardErrorOf(const std::function<void()>& call);

// The real program's report of a run-time error: what it wrote to standard
// error up to the end of its "zerbo: Run-time error" line, before its box
// waits for the user; all it wrote when none came within 10 s.
QString reportedError(QProcess& program);
