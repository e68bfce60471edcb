// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/device_identity.h"

#include <QFile>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {
// Unix 98 pseudo-terminal slaves (/dev/pts/N): majors 136 to 143.
bool pseudoTerminal(dev_t number) {
    return major(number) >= 136 && major(number) <= 143;
}
} // namespace

std::optional<DeviceIdentity> DeviceIdentity::of(const QString& path) {
    struct stat node {};
    if (::stat(QFile::encodeName(path).constData(), &node) != 0 || !S_ISCHR(node.st_mode))
        return std::nullopt;
    DeviceIdentity identity{node.st_rdev, 0};
    // Its permissions are set once, as it is made (grantpt), and never after.
    if (pseudoTerminal(node.st_rdev))
        identity.madeNs = qint64(node.st_ctim.tv_sec) * 1000000000 + node.st_ctim.tv_nsec;
    return identity;
}
