// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/runtime_error.h"

#include <QSerialPort>
#include <QString>

// Error numbers of the serial port.
namespace CommErrorNumber {
constexpr int InvalidPropertyValue = 380; // CommPort or Settings out of range
constexpr int DeviceNotFound = 8002;
constexpr int PortBusy = 8005;
constexpr int PermissionDenied = 8010;
constexpr int PortNotOpen = 8012;
constexpr int WriteFailed = 8015;
constexpr int ReadFailed = 8016;
constexpr int OpenFailed = 8020; // any other reason the device refused to open
} // namespace CommErrorNumber

// The errors of the serial port, each naming the device, the reason and the fix.
namespace CommErrors {
// Where COM1's device name came from when the user set it outside the
// command line ("ZERBO_PORT"); the open errors then say so. Empty: --port or found.
void setCom1NamedBy(const QString& source);
// Why QSerialPort::open() failed on path, told apart into not found, busy,
// permission denied and anything else.
RuntimeError openFailed(const QString& path, int commPort, QSerialPort::SerialPortError error,
                        const QString& reason);
// Another program holds the port; holder says who and how ("PID 1234 (cat)
// holds its lock file /run/lock/LCK..ttyS0").
RuntimeError heldBy(const QString& path, int commPort, const QString& holder);
RuntimeError notOpen(const QString& path, int commPort);
RuntimeError writeFailed(const QString& path, int commPort, int errorNumber);
RuntimeError readFailed(const QString& path, int commPort, int errorNumber);
RuntimeError invalidCommPort(int number);
RuntimeError invalidSettings(const QString& settings);
RuntimeError invalidInputLen(int length);
} // namespace CommErrors
