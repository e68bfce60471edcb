// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/runtime_error.h"

#include <QString>

// Whether the device opens now, for a port list: "free", "busy: " with what
// the open would meet (an exclusive open, a lock file, an flock: "busy: PID
// 1234 (cat) holds its lock file ..."), "busy: held by PID 1234 (zerbo)"
// for one that another program merely has open, "no permission", "no UART",
// or the system's reason.
QString portStatus(const QString& device);

// What an open of the device as COM1 would meet now, found without taking
// it: 0, or the reason as openError() gives it, and EBUSY for a holder the
// open's lock finds (a live lock file, an flock, an exclusive open).
int com1OpenError(const QString& device);

// The error the open as COM1 reports for that reason (8002, 8005 naming the
// holder, 8010 with the fix, 8020), with the device's name as given.
RuntimeError openRefusal(const QString& device, int openError);

// The same from the result of openError() alone.
QString openStatus(int openError);
