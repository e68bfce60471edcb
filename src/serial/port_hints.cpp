// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_hints.h"

#include "serial/device_access.h"
#include "serial/port_description.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString textOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                          : QString();
}

// Any user may read a process's name, also of root's services.
bool runs(const QString& proc, const QString& program) {
    for (const QString& pid : QDir(proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (pid.front().isDigit() && textOf(QStringLiteral("%1/%2/comm").arg(proc, pid)) == program)
            return true;
    return false;
}

// Whether the kernel sees a USB device of that id plugged in, driver or none.
bool usbDevicePresent(const QString& sys, const QString& vendor, const QString& product) {
    const QDir devices(sys + QStringLiteral("/bus/usb/devices"));
    for (const QString& device : devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (textOf(devices.filePath(device + QStringLiteral("/idVendor"))) == vendor &&
            textOf(devices.filePath(device + QStringLiteral("/idProduct"))) == product)
            return true;
    return false;
}

QString hex4(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

// The udev rule that keeps ModemManager off this board: by its USB id where
// sysfs tells it, else every ttyACM device.
QString ignoreRule(const QString& device, const QString& sys) {
    PortDescription port{device, {}, {}, {}, std::nullopt, std::nullopt};
    fillFromSysfs(port, sys);
    const QString match = port.vendorId && port.productId
                              ? QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\"")
                                    .arg(hex4(*port.vendorId), hex4(*port.productId))
                              : QStringLiteral("KERNEL==\"ttyACM*\"");
    return match + QStringLiteral(", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
}
} // namespace

QString PortHints::modemManager(const QString& device, const SystemTree& tree) {
    const QString real = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(real.isEmpty() ? device : real).fileName();
    if (!name.startsWith(QLatin1String("ttyACM")) ||
        !runs(tree.proc, QStringLiteral("ModemManager")))
        return {};
    return QStringLiteral(
               "ModemManager runs here: it probes each new ttyACM device for some seconds "
               "after it is plugged in, and holds it meanwhile. Wait a few seconds, then start "
               "again; to keep it off the board for good, put the line %1 into "
               "/etc/udev/rules.d/99-zerbo-board.rules as root, run %2 and plug the board "
               "in again.")
        .arg(ignoreRule(QStringLiteral("/dev/") + name, tree.sys),
             DeviceAccess::asRoot(QStringLiteral("udevadm control --reload")));
}

QString PortHints::brltty(const SystemTree& tree) {
    const QDir root(tree.root);
    const bool installed = QFileInfo::exists(root.filePath(QStringLiteral("usr/bin/brltty"))) ||
                           QFileInfo::exists(root.filePath(QStringLiteral("bin/brltty")));
    if (!installed || !usbDevicePresent(tree.sys, QStringLiteral("1a86"), QStringLiteral("7523")))
        return {};
    QString rule;
    for (const char* dir : {"usr/lib/udev/rules.d", "lib/udev/rules.d"}) {
        const QString file = QStringLiteral("%1/85-brltty.rules").arg(QLatin1String(dir));
        if (QFileInfo::exists(root.filePath(file))) {
            rule = QLatin1Char('/') + file;
            break;
        }
    }
    QString text =
        QStringLiteral("A CH340 USB serial chip (USB id 1a86:7523, as on most Arduino Nanos) "
                       "is plugged in but has no /dev/ttyUSB device: brltty, the braille display "
                       "driver installed here, takes that chip for a braille display. Remove it "
                       "with %1")
            .arg(DeviceAccess::asRoot(QStringLiteral("apt remove brltty")));
    if (!rule.isEmpty())
        text += QStringLiteral(", or keep it and turn off its udev rule %1 with %2")
                    .arg(rule, DeviceAccess::asRoot(QStringLiteral(
                                   "ln -s /dev/null /etc/udev/rules.d/85-brltty.rules")));
    return text + QStringLiteral("; then unplug the board and plug it in again.");
}
