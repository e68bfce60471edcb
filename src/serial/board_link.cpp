// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/board_link.h"

#include "serial/port_holder.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

QString BoardLink::defaultPath() {
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty())
        return runtimeDir + QStringLiteral("/zerbo-board");
    return QStringLiteral("/tmp/zerbo-board-%1").arg(::getuid());
}

namespace {
// A board makes its terminal, then the link: a terminal made after the link
// has only been given the number of the one the link was made for.
bool madeBeforeLink(const QString& device, const QString& link) {
    struct stat terminal {
    }, linkItself{};
    if (::stat(QFile::encodeName(device).constData(), &terminal) != 0 ||
        ::lstat(QFile::encodeName(link).constData(), &linkItself) != 0)
        return false;
    return std::tie(terminal.st_ctim.tv_sec, terminal.st_ctim.tv_nsec) <=
           std::tie(linkItself.st_mtim.tv_sec, linkItself.st_mtim.tv_nsec);
}
} // namespace

QString BoardLink::runningDevice(const QString& link) {
    const QFileInfo info(link);
    if (!info.isSymLink() || !info.exists())
        return {};
    const QString device = info.canonicalFilePath();
    if (!madeBeforeLink(device, link))
        return {};
    for (const pid_t pid : PortHolder::terminalMakers(device))
        if (PortHolder::programName(pid) == QLatin1String("zerbo-board"))
            return device;
    return {};
}
