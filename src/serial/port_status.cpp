// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_status.h"

#include "serial/comm_errors.h"
#include "serial/port_description.h"
#include "serial/port_holder.h"
#include "serial/port_lock.h"

#include <cerrno>
#include <cstring>

QString openStatus(int openError) {
    switch (openError) {
    case 0:
        return QStringLiteral("free");
    case EBUSY:
        return QStringLiteral("busy");
    case EACCES:
    case EPERM:
        return QStringLiteral("no permission");
    case ENODEV:
        return QStringLiteral("no UART");
    default:
        return QString::fromLocal8Bit(std::strerror(openError));
    }
}

QString portStatus(const QString& device) {
    const QString real = PortLock::realDevice(device);
    if (const QString holder = PortLock::holderOf(real); !holder.isEmpty())
        return QStringLiteral("busy: ") + holder;
    // A terminal opens for a second program too, whose reads would take bytes
    // from this one's: said as well, though the open would not refuse it.
    if (const QStringList readers = PortHolder::otherReaders(real); !readers.isEmpty())
        return QStringLiteral("busy: held by %1").arg(readers.first());
    return openStatus(openError(device));
}

int com1OpenError(const QString& device) {
    const int error = openError(device);
    if (error != 0)
        return error;
    return PortLock::holderOf(PortLock::realDevice(device)).isEmpty() ? 0 : EBUSY;
}

RuntimeError openRefusal(const QString& device, int openError) {
    const QString reason = QString::fromLocal8Bit(std::strerror(openError));
    switch (openError) {
    case ENOENT:
        return CommErrors::openFailed(device, QSerialPort::DeviceNotFoundError, reason);
    case EBUSY: {
        const QString real = PortLock::realDevice(device);
        const QString holder = PortLock::holderOf(real);
        return CommErrors::heldBy(device,
                                  holder.isEmpty() ? PortHolder::exclusiveHolders(real) : holder);
    }
    case EACCES:
    case EPERM:
        return CommErrors::openFailed(device, QSerialPort::PermissionError, reason);
    default:
        return CommErrors::openFailed(device, QSerialPort::OpenError, reason);
    }
}
