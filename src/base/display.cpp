// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/display.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QVariant>
#include <cstring>

namespace {
bool isSet(const char* name) {
    return !qgetenv(name).isEmpty();
}

bool platformNamed(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}
} // namespace

bool hasDisplay(int argc, char* argv[]) {
    if (platformNamed(argc, argv))
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

void preferX11ThroughXWayland(int argc, char* argv[]) {
    if (isSet("WAYLAND_DISPLAY") && isSet("DISPLAY") && !isSet("QT_QPA_PLATFORM") &&
        !platformNamed(argc, argv))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

bool desktopPlacesWindows() {
    // The platform is QGuiApplication's property; this layer sees only QtCore.
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr &&
           application->property("platformName").toString().startsWith(QLatin1String("wayland"));
}
