// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/board_link.h"

#include "serial/port_holder.h"

#include <QFileInfo>
#include <unistd.h>

QString BoardLink::defaultPath() {
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty())
        return runtimeDir + QStringLiteral("/zerbo-board");
    return QStringLiteral("/tmp/zerbo-board-%1").arg(::getuid());
}

QString BoardLink::runningDevice(const QString& link) {
    const QFileInfo info(link);
    if (!info.isSymLink() || !info.exists())
        return {};
    const QString device = info.canonicalFilePath();
    for (const pid_t pid : PortHolder::terminalMakers(device))
        if (PortHolder::programName(pid) == QLatin1String("zerbo-board"))
            return device;
    return {};
}
