// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// A serial port present on this machine, as the system's port list describes it.
struct PortDescription {
    QString device; // e.g. /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

// Fills what the system's port list left out (no udev database answers in
// containers and minimal systems) from sysfs under sysRoot: the USB vendor
// and product ids, the maker, the description and the serial number of the
// USB device the tty belongs to.
void fillFromSysfs(PortDescription& port, const QString& sysRoot = QStringLiteral("/sys"));

// 0 when the device opens for reading and writing, else the reason (errno;
// ENODEV for a serial port without a UART, ENOTTY for no terminal at all). Opens and closes at
// once, without becoming the controlling terminal.
int openError(const QString& device);
