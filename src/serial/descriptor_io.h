// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Reading and writing a non-blocking serial descriptor directly, so that bytes
// move without the event loop running. Each returns 0 or the errno that failed.
namespace DescriptorIo {
// Appends what the kernel holds for fd, until `into` has `limit` bytes or
// nothing more waits. Never blocks.
int readWaiting(int fd, QByteArray& into, qsizetype limit);

// Writes all bytes, waiting while the driver's buffer is full, then waits until
// the driver has sent them (tcdrain). ETIMEDOUT when the device takes no bytes
// for timeoutMs.
int writeAllAndDrain(int fd, const QByteArray& bytes, int timeoutMs);
} // namespace DescriptorIo
