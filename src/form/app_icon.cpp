// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/app_icon.h"

// The resources live in a static library; without this reference the linker
// would drop them from the program.
static void loadAssets() {
    Q_INIT_RESOURCE(assets);
}

QIcon appIcon() {
    static const bool loaded = (loadAssets(), true);
    Q_UNUSED(loaded);
    QIcon icon;
    icon.addFile(QStringLiteral(":/shuttle-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/shuttle-32.png"), QSize(32, 32));
    return icon;
}
