// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_lock.h"

#include "serial/comm_errors.h"
#include "serial/port_holder.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// The lock file's name as other programs (and Qt's serial port) spell it:
// the device below /dev with '/' turned into '_', after "LCK..".
QStringList lockFilesOf(const QString& device) {
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList files;
    for (const char* dir : {"/var/lock", "/run/lock"}) {
        const QString real = QFileInfo(QLatin1String(dir)).canonicalFilePath();
        const QString file = QStringLiteral("%1/LCK..%2").arg(real, name);
        if (!real.isEmpty() && !files.contains(file))
            files << file;
    }
    return files;
}

// Another program's live lock file: a lock whose PID is dead is removed.
QString lockFileHolder(const QString& device) {
    for (const QString& path : lockFilesOf(device)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const auto pid = PortHolder::lockFilePid(file.read(64));
        if (pid && *pid == ::getpid())
            continue; // our own, left by an open of this program's port
        if (pid && PortHolder::alive(*pid))
            return QStringLiteral("%1 holds its lock file %2")
                .arg(PortHolder::describe(*pid), path);
        if (!pid)
            return QStringLiteral("its lock file %1 names no process (remove the file if no "
                                  "program uses the port)")
                .arg(path);
        file.close();
        // Stale: the program that made it has ended.
        if (!QFile::remove(path) && QFile::exists(path))
            return QStringLiteral("its lock file %1 is left from %2, which has ended, and "
                                  "may not be removed by you (remove it with `sudo rm %1`)")
                .arg(path, PortHolder::describe(*pid));
    }
    return {};
}
} // namespace

QString PortLock::realDevice(const QString& path) {
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? path : real;
}

void PortLock::acquire(const QString& device, const QString& shownPath) {
    release();
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EBUSY)
        throw CommErrors::heldBy(shownPath, PortHolder::exclusiveHolders(device));
    if (fd < 0)
        return; // missing, forbidden: the port's open tells which, before any lock
    if (const QString holder = lockFileHolder(device); !holder.isEmpty()) {
        ::close(fd);
        throw CommErrors::heldBy(shownPath, holder);
    }
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive) {
        ::close(fd); // root may open it anyway, but must not share it
        throw CommErrors::heldBy(shownPath, PortHolder::exclusiveHolders(device));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const auto pid = PortHolder::flockHolder(device);
        ::close(fd);
        throw CommErrors::heldBy(shownPath, QStringLiteral("%1 has locked it")
                                                .arg(pid ? PortHolder::describe(*pid)
                                                         : QStringLiteral("another process")));
    }
    fd_ = fd;
}

void PortLock::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
