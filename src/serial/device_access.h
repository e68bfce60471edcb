// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the file system says about a device the user cannot use, worded for
// the fix that works on this machine.
namespace DeviceAccess {
// "owner root, group dialout, mode crw-rw----"; empty when the path cannot be read.
QString ownership(const QString& path);

// The fix for a device this user may not open: join the group that may read
// and write it (the command names this user), or, when only its owner may,
// ask the administrator.
QString permissionFix(const QString& path);

// Why the path is no serial device ("a regular file", "a directory", "a
// character device that is not a terminal"); empty when it is a terminal
// device, or when it cannot be looked at (missing, no permission).
QString notSerialReason(const QString& path);

// `sudo COMMAND` where sudo is installed, else `su - -c "COMMAND"`.
QString asRoot(const QString& command);
} // namespace DeviceAccess
