// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_lock.h"

#include "base/log_categories.h"
#include "serial/comm_errors.h"
#include "serial/device_access.h"
#include "serial/port_hints.h"
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
// Open exclusively by another program: which, and, where it may be this
// machine's modem manager, what to do.
RuntimeError heldExclusively(const QString& device, const QString& shownPath) {
    return CommErrors::heldBy(shownPath, PortHolder::exclusiveHolders(device),
                              PortHints::modemManager(device));
}

// The lock file's name as other programs (and Qt's serial port) spell it:
// the device below /dev with '/' turned into '_', after "LCK..", in each
// directory where one may be kept: Qt's serial port takes the first it may
// write, which is /tmp where /run/lock is not writable.
QStringList lockFilesOf(const QString& device) {
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList files;
    for (const char* dir : {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                            "/tmp", "/var/tmp", "/var/lock/lockdev", "/run/lock"}) {
        const QString real = QFileInfo(QLatin1String(dir)).canonicalFilePath();
        const QString file = QStringLiteral("%1/LCK..%2").arg(real, name);
        if (!real.isEmpty() && !files.contains(file))
            files << file;
    }
    return files;
}

// Look: only find out who holds the device. Take: as the open does, also
// remove a stale lock file, clear a stale exclusive mark and keep the flock.
enum class Mode { Look, Take };

// Another program's live lock file: a lock whose PID is dead is stale.
QString lockFileHolder(const QString& device, Mode mode) {
    for (const QString& path : lockFilesOf(device)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            if (!file.exists())
                continue;
            return QStringLiteral("its lock file %1 (%2) may not be read by you, so whether "
                                  "its program still runs cannot be told; if no program uses "
                                  "the port, remove it with %3")
                .arg(path, DeviceAccess::ownership(path),
                     DeviceAccess::asRoot(QStringLiteral("rm %1").arg(path)));
        }
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
        if (mode == Mode::Look)
            continue;
        // Stale: the program that made it has ended.
        if (!QFile::remove(path) && QFile::exists(path))
            return QStringLiteral("its lock file %1 is left from %2, which has ended, and "
                                  "may not be removed by you (remove it with %3)")
                .arg(path, PortHolder::describe(*pid),
                     DeviceAccess::asRoot(QStringLiteral("rm %1").arg(path)));
    }
    return {};
}

// Who holds the device, looked at through fd, a descriptor of it; empty
// when nobody does. Take keeps the flock on fd.
QString holderSeenThrough(int fd, const QString& device, Mode mode) {
    if (const QString holder = lockFileHolder(device, mode); !holder.isEmpty())
        return holder;
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive) {
        // Root may open it anyway, but must not share it. A pseudo-terminal
        // keeps the mark after its holder died, until its board ends: with
        // no process left that has it open, the mark is stale.
        if (!PortHolder::openers(device).isEmpty())
            return PortHolder::exclusiveHolders(device);
        if (mode == Mode::Take) {
            qCDebug(zerboSerial,
                    "%s is marked open exclusively, but no process has it open: the "
                    "mark of a program that ended, cleared",
                    qPrintable(device));
            ::ioctl(fd, TIOCNXCL);
        }
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const auto pid = PortHolder::flockHolder(device);
        return QStringLiteral("%1 has locked it")
            .arg(pid ? PortHolder::describe(*pid) : QStringLiteral("another process"));
    }
    if (mode == Mode::Look)
        ::flock(fd, LOCK_UN);
    return {};
}

int openForLock(const QString& device) {
    return ::open(QFile::encodeName(device).constData(),
                  O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}
} // namespace

QString PortLock::realDevice(const QString& path) {
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? path : real;
}

QString PortLock::holderOf(const QString& device) {
    const int fd = openForLock(device);
    if (fd < 0)
        return errno == EBUSY ? PortHolder::exclusiveHolders(device) : QString();
    const QString holder = holderSeenThrough(fd, device, Mode::Look);
    ::close(fd);
    return holder;
}

void PortLock::acquire(const QString& device, const QString& shownPath) {
    release();
    const int fd = openForLock(device);
    if (fd < 0 && errno == EBUSY)
        throw heldExclusively(device, shownPath);
    if (fd < 0)
        return; // missing, forbidden: the port's open tells which, before any lock
    if (const QString holder = holderSeenThrough(fd, device, Mode::Take); !holder.isEmpty()) {
        ::close(fd);
        throw CommErrors::heldBy(shownPath, holder, PortHints::modemManager(device));
    }
    fd_ = fd;
}

void PortLock::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
