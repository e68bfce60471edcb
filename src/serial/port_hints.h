// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the hints look: sysfs, the running processes, and the root of the
// file system (the programs and udev rules installed). Tests give made-up trees.
struct SystemTree {
    QString sys = QStringLiteral("/sys");
    QString proc = QStringLiteral("/proc");
    QString root = QStringLiteral("/");
};

// What a desktop's own services do to a board's port, and the fix, as a
// sentence to add to the error; empty where they are not the cause.
namespace PortHints {
// Error 8005 on a ttyACM device while ModemManager runs: it probes each new
// one for some seconds after plug-in, holding it. Wait, or a udev rule with
// ID_MM_DEVICE_IGNORE for the board's USB id.
QString modemManager(const QString& device, const SystemTree& tree = {});
// Error 8002 while a CH340 (USB id 1a86:7523) is plugged in and brltty is
// installed: brltty claims that chip, so it gets no /dev/ttyUSB device.
// Remove brltty, or turn off its udev rule.
QString brltty(const SystemTree& tree = {});
} // namespace PortHints
