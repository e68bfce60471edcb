// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_holder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

std::optional<PortHolder> portHolder(const QString& device) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return std::nullopt;
    const qint64 self = ::getpid();
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& name : pids) {
        bool isPid = false;
        const qint64 pid = name.toLongLong(&isPid);
        if (!isPid || pid == self)
            continue;
        const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QFileInfo& link : descriptors.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
            if (link.symLinkTarget() == target) {
                QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
                const QString command = comm.open(QIODevice::ReadOnly)
                                            ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                            : QString();
                return PortHolder{pid, command};
            }
    }
    return std::nullopt;
}
