// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/display.h"

#include <QByteArray>
#include <QList>
#include <cstring>

namespace {
bool isSet(const char* name) {
    return !qgetenv(name).isEmpty();
}
} // namespace

bool hasDisplay(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            return true; // Qt's own option: whoever names a platform knows it is there
    const QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    if (platforms.isEmpty())
        return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
    // A list such as "wayland;xcb" is tried in order.
    for (const QByteArray& entry : platforms.split(';')) {
        const QByteArray name = entry.left(entry.indexOf(':'));
        if (name.startsWith("xcb")) {
            if (isSet("DISPLAY"))
                return true;
        } else if (name.startsWith("wayland")) {
            if (isSet("WAYLAND_DISPLAY"))
                return true;
        } else {
            return true; // offscreen, minimal, vnc and the like need no server
        }
    }
    return false;
}
