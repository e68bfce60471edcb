// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/comm_errors.h"

#include "serial/device_access.h"
#include "serial/port_hints.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {
QString namedBy;

QString portName(const QString& path) {
    return QStringLiteral("serial port %1 (COM1)").arg(path);
}

// The port as the open errors name it, with where its name came from when
// the user may not remember having set it.
QString openedPortName(const QString& path) {
    QString name = portName(path);
    if (!namedBy.isEmpty())
        name += QStringLiteral(", named by %1,").arg(namedBy);
    return name;
}

// How to name another device: telling a user who set ZERBO_PORT to set it
// would send them round in a circle.
QString nameAnotherDevice(const QString& what) {
    if (!namedBy.isEmpty())
        return QStringLiteral("set %1 to %2 (or unset it, and ZERBO looks for the port itself)")
            .arg(namedBy, what);
    return QStringLiteral("name %1 with --port DEVICE or the environment variable ZERBO_PORT")
        .arg(what);
}

QString capitalized(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString systemReason(int errorNumber) {
    if (errorNumber == ETIMEDOUT)
        return QStringLiteral("the device took no bytes for too long");
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// QSerialPort reports a device held by someone else and a device we may not
// use alike; the file's access rights tell them apart.
bool mayReadAndWrite(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
}
} // namespace

void CommErrors::setCom1NamedBy(const QString& source) {
    namedBy = source;
}

QString CommErrors::com1NamedBy() {
    return namedBy;
}

RuntimeError CommErrors::openFailed(const QString& path, QSerialPort::SerialPortError error,
                                    const QString& reason) {
    const QString port = capitalized(openedPortName(path));
    if (error == QSerialPort::DeviceNotFoundError) {
        QString text =
            QStringLiteral("%1 was not found. Connect the board's serial adapter, or %2.")
                .arg(port, nameAnotherDevice(QStringLiteral("its device")));
        if (const QString hint = PortHints::brltty(); !hint.isEmpty())
            text += QLatin1Char(' ') + hint;
        return RuntimeError(ErrorNumber::DeviceNotFound, text);
    }
    if (const QString notSerial = DeviceAccess::notSerialReason(path); !notSerial.isEmpty())
        return RuntimeError(
            ErrorNumber::OpenFailed,
            QStringLiteral("%1 is not a serial device: it is %2. Connect the board's serial "
                           "adapter and %3; zerbo --list-ports lists the serial ports present.")
                .arg(port, notSerial, nameAnotherDevice(QStringLiteral("its device"))));
    if (error == QSerialPort::PermissionError && !mayReadAndWrite(path))
        return RuntimeError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("%1 may not be opened by you: permission denied (%2). %3")
                .arg(port, DeviceAccess::ownership(path), DeviceAccess::permissionFix(path)));
    if (error == QSerialPort::PermissionError)
        return RuntimeError(ErrorNumber::PortBusy,
                            QStringLiteral("%1 is in use by another program. Close the program "
                                           "that holds %2 (a terminal program, or another copy "
                                           "of this one), then start again.")
                                .arg(port, path));
    // A USB adapter pulled out as it is opened, or a line whose far end is gone.
    if (reason == systemReason(EIO))
        return RuntimeError(ErrorNumber::OpenFailed,
                            QStringLiteral("%1 could not be opened: %2. The serial adapter may "
                                           "have been unplugged; connect it again and restart.")
                                .arg(port, reason));
    return RuntimeError(
        ErrorNumber::OpenFailed,
        QStringLiteral("%1 could not be opened: %2. Check that %3 is the board's "
                       "serial adapter, or %4.")
            .arg(port, reason, path, nameAnotherDevice(QStringLiteral("the right device"))));
}

RuntimeError CommErrors::heldBy(const QString& path, const QString& holder, const QString& hint) {
    QString text = QStringLiteral("%1 is in use by another program: %2. ")
                       .arg(capitalized(portName(path)), holder);
    text +=
        hint.isEmpty() ? QStringLiteral("Close that program (or end it), then start again.") : hint;
    return RuntimeError(ErrorNumber::PortBusy, text);
}

RuntimeError CommErrors::replaced(const QString& path, const QString& device) {
    return RuntimeError(ErrorNumber::DeviceNotFound,
                        QStringLiteral("%1 is gone: its name now leads to %2, another device "
                                       "than the one opened before, which was left alone. "
                                       "Connect the board's serial adapter (or start the "
                                       "virtual board again), then restart.")
                            .arg(capitalized(portName(path)), device));
}

RuntimeError CommErrors::notOpen(const QString& path) {
    return RuntimeError(ErrorNumber::PortNotOpen,
                        QStringLiteral("%1 is not open, so nothing can be sent or received. "
                                       "Open the port first.")
                            .arg(capitalized(portName(path))));
}

RuntimeError CommErrors::writeFailed(const QString& path, int errorNumber) {
    return RuntimeError(ErrorNumber::WriteFailed,
                        QStringLiteral("Sending on %1 failed: %2. The serial adapter may have "
                                       "been unplugged; connect it again and restart.")
                            .arg(portName(path), systemReason(errorNumber)));
}

RuntimeError CommErrors::readFailed(const QString& path, int errorNumber) {
    return RuntimeError(ErrorNumber::ReadFailed,
                        QStringLiteral("Receiving on %1 failed: %2. The serial adapter may have "
                                       "been unplugged; connect it again and restart.")
                            .arg(portName(path), systemReason(errorNumber)));
}
