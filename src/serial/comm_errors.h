// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/error_numbers.h"
#include "base/runtime_error.h"

#include <QSerialPort>
#include <QString>

// The errors of the serial port, each naming the device (always COM1), the
// reason and the fix.
namespace CommErrors {
// Where COM1's device name came from when the user set it outside the
// command line ("ZERBO_PORT"); the open errors then say so. Empty: --port or found.
void setCom1NamedBy(const QString& source);
QString com1NamedBy();
// Why QSerialPort::open() failed on path, told apart into not found, busy,
// permission denied and anything else.
RuntimeError openFailed(const QString& path, QSerialPort::SerialPortError error,
                        const QString& reason);
// Another program holds the port; holder says who and how ("PID 1234 (cat)
// holds its lock file /run/lock/LCK..ttyS0"); hint, a sentence on who it
// may be here and the fix (PortHints).
RuntimeError heldBy(const QString& path, const QString& holder, const QString& hint = {});
// The name now leads to device, another device than the one opened before
// (the board's pseudo-terminal gone, and its number given to a new one).
RuntimeError replaced(const QString& path, const QString& device);
RuntimeError notOpen(const QString& path);
RuntimeError writeFailed(const QString& path, int errorNumber);
RuntimeError readFailed(const QString& path, int errorNumber);
} // namespace CommErrors
