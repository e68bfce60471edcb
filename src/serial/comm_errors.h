#pragma once

#include "app/runtime_error.h"

#include <QSerialPort>
#include <QString>

// The errors of the serial port, each naming the device, the reason and the fix.
namespace CommErrors {
// Why QSerialPort::open() failed on path, told apart into not found, busy,
// permission denied and anything else.
RuntimeError openFailed(const QString& path, int commPort, QSerialPort::SerialPortError error,
                        const QString& reason);
RuntimeError notOpen(const QString& path, int commPort);
RuntimeError writeFailed(const QString& path, int commPort, int errorNumber);
RuntimeError readFailed(const QString& path, int commPort, int errorNumber);
RuntimeError invalidCommPort(int number);
RuntimeError invalidSettings(const QString& settings);
RuntimeError invalidInputLen(int length);
} // namespace CommErrors
