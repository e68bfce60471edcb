// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Writing a non-blocking serial descriptor directly, so that bytes move
// without the event loop running. Reading stays with QSerialPort.
namespace DescriptorIo {
// Writes all bytes, waiting while the driver's buffer is full, then waits until
// the driver has sent them (tcdrain). Returns 0 or the errno that failed;
// ETIMEDOUT when the device takes no bytes for timeoutMs.
int writeAllAndDrain(int fd, const QByteArray& bytes, int timeoutMs);
} // namespace DescriptorIo
