// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

// What tells one device from another behind the same name. A real port is
// its device number, which a replugged adapter keeps. A pseudo-terminal's
// number is given again to the next one opened once its board has gone (a
// terminal tab, say), so for it the moment its node was made counts too.
struct DeviceIdentity {
    dev_t number = 0;
    qint64 madeNs = 0; // pseudo-terminals only; 0 for real ports

    bool operator==(const DeviceIdentity&) const = default;

    // The device at path (symlinks followed); none when it is no device or cannot be seen.
    static std::optional<DeviceIdentity> of(const QString& path);
};
