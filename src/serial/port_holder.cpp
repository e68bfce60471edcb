// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_holder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
std::optional<struct stat> statOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}
} // namespace

QString PortHolder::programName(pid_t pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString PortHolder::describe(pid_t pid) {
    const QString name = programName(pid);
    if (name.isEmpty())
        return QStringLiteral("PID %1").arg(pid);
    return QStringLiteral("PID %1 (%2)").arg(pid).arg(name);
}

std::optional<pid_t> PortHolder::lockFilePid(const QByteArray& contents) {
    // Older programs write the PID as a binary int of four bytes.
    if (contents.size() == int(sizeof(int)) && !contents.trimmed().isEmpty() &&
        !QChar::isDigit(uchar(contents.trimmed().at(0)))) {
        int pid = 0;
        std::memcpy(&pid, contents.constData(), sizeof pid);
        return pid > 0 ? std::optional<pid_t>(pid) : std::nullopt;
    }
    bool ok = false;
    const long pid = contents.split('\n').value(0).trimmed().toLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return pid_t(pid);
}

bool PortHolder::alive(pid_t pid) {
    // EPERM: it runs, as another user.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

std::optional<pid_t> PortHolder::flockHolder(const QString& device) {
    const auto node = statOf(device);
    QFile locks(QStringLiteral("/proc/locks"));
    if (!node || !locks.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray wanted = QStringLiteral("%1:%2:%3")
                                  .arg(major(node->st_dev), 2, 16, QLatin1Char('0'))
                                  .arg(minor(node->st_dev), 2, 16, QLatin1Char('0'))
                                  .arg(node->st_ino)
                                  .toLatin1();
    // "1: FLOCK  ADVISORY  WRITE 4242 00:1a:5 0 EOF"
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[1] == "FLOCK" && fields[5] == wanted &&
            fields[4].toInt() != ::getpid())
            return pid_t(fields[4].toInt());
    }
    return std::nullopt;
}

QList<pid_t> PortHolder::openers(const QString& device) {
    const auto node = statOf(device);
    if (!node)
        return {};
    QList<pid_t> found;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const pid_t pid = pid_t(entry.toInt(&ok));
        if (!ok || pid == ::getpid())
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            const auto open = statOf(fds.filePath(fd));
            if (open && S_ISCHR(open->st_mode) && open->st_rdev == node->st_rdev) {
                found << pid;
                break;
            }
        }
    }
    return found;
}

QList<pid_t> PortHolder::terminalMakers(const QString& slave) {
    const QFileInfo info(slave);
    if (info.path() != QLatin1String("/dev/pts"))
        return {};
    const QByteArray index = "tty-index:\t" + info.fileName().toLatin1() + '\n';
    QList<pid_t> found;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const pid_t pid = pid_t(entry.toInt(&ok));
        if (!ok)
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            const QString target = QFile::symLinkTarget(fds.filePath(fd));
            if (target != QLatin1String("/dev/ptmx") && target != QLatin1String("/dev/pts/ptmx"))
                continue;
            QFile fdinfo(proc.filePath(QStringLiteral("%1/fdinfo/%2").arg(entry, fd)));
            if (fdinfo.open(QIODevice::ReadOnly) && fdinfo.readAll().contains(index)) {
                found << pid;
                break;
            }
        }
    }
    return found;
}

QStringList PortHolder::otherReaders(const QString& device) {
    // The program that made a pseudo-terminal may hold its far end open too,
    // only to keep the line up: it is the other end, not a second reader.
    const QList<pid_t> makers = terminalMakers(device);
    QStringList found;
    for (const pid_t pid : openers(device))
        if (!makers.contains(pid) && programName(pid) != QLatin1String("zerbo-board"))
            found << describe(pid);
    return found;
}

QString PortHolder::exclusiveHolders(const QString& device) {
    QStringList found;
    for (const pid_t pid : openers(device))
        if (programName(pid) != QLatin1String("zerbo-board")) // its own line, never exclusive
            found << describe(pid);
    // Without root, other users' processes do not show; a mark whose holder
    // died stays on a pseudo-terminal until its board ends.
    if (found.isEmpty())
        return QStringLiteral("another program has it open exclusively (if none does, one that "
                              "ended left the mark: restart the program that made the port, "
                              "such as zerbo-board)");
    return QStringLiteral("it is open exclusively in %1").arg(found.join(QStringLiteral(" or ")));
}
