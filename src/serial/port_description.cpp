// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_description.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
QString sysfsText(const QDir& dir, const QString& name) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

std::optional<quint16> hexId(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok || value > 0xffff)
        return std::nullopt;
    return quint16(value);
}

// USB serial drivers leave the UART type of TIOCGSERIAL unset, so there it
// says nothing about a missing UART.
bool behindUsb(const QString& device) {
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    const QString sysfs =
        QFileInfo(QStringLiteral("/sys/class/tty/%1/device").arg(name)).canonicalFilePath();
    return sysfs.contains(QLatin1String("/usb"));
}
} // namespace

void fillFromSysfs(PortDescription& port, const QString& sysRoot) {
    const QString name = QFileInfo(port.device).fileName();
    QDir dir(
        QFileInfo(QStringLiteral("%1/class/tty/%2/device").arg(sysRoot, name)).canonicalFilePath());
    if (dir.path().isEmpty() || dir.path() == QLatin1String("."))
        return;
    // The tty's device is a USB interface, or a port below it: the ids are on
    // the USB device a few levels up.
    for (int level = 0; level < 4; ++level, dir.cdUp()) {
        if (!QFileInfo::exists(dir.filePath(QStringLiteral("idVendor"))))
            continue;
        if (!port.vendorId)
            port.vendorId = hexId(sysfsText(dir, QStringLiteral("idVendor")));
        if (!port.productId)
            port.productId = hexId(sysfsText(dir, QStringLiteral("idProduct")));
        if (port.manufacturer.isEmpty())
            port.manufacturer = sysfsText(dir, QStringLiteral("manufacturer"));
        if (port.description.isEmpty())
            port.description = sysfsText(dir, QStringLiteral("product"));
        if (port.serialNumber.isEmpty())
            port.serialNumber = sysfsText(dir, QStringLiteral("serial"));
        return;
    }
}

int openError(const QString& device) {
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // A built-in port with no UART behind it opens, and then fails every read
    // and write; the serial driver knows it by its unknown type.
    int error = 0;
    if (!::isatty(fd)) {
        ::close(fd);
        return ENOTTY; // a file or another device standing at the path: no serial port
    }
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 ? serial.type == PORT_UNKNOWN && !behindUsb(device)
                                               : errno == EIO)
        error = ENODEV;
    ::close(fd);
    return error;
}
