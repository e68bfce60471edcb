// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/device_access.h"

#include <QFile>
#include <QStandardPaths>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool statOf(const QString& path, struct stat& info) {
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

QString userName(uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// As ls -l writes it.
QString modeText(mode_t mode) {
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : S_ISDIR(mode) ? QStringLiteral("d") : "-";
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (1u << bit)) ? QChar(letters[(8 - bit) % 3]) : QChar('-');
    return text;
}
} // namespace

QString DeviceAccess::ownership(const QString& path) {
    struct stat info {};
    if (!statOf(path, info))
        return {};
    return QStringLiteral("owner %1, group %2, mode %3")
        .arg(userName(info.st_uid), groupName(info.st_gid), modeText(info.st_mode));
}

QString DeviceAccess::permissionFix(const QString& path) {
    struct stat info {};
    if (!statOf(path, info))
        return QStringLiteral("Ask your administrator for access to %1.").arg(path);
    const mode_t groupReadWrite = S_IRGRP | S_IWGRP;
    if ((info.st_mode & groupReadWrite) == groupReadWrite && info.st_gid != 0) {
        const QString group = groupName(info.st_gid);
        // The name itself: su - starts a login shell, which sets $USER to root.
        return QStringLiteral("Join the %1 group with %2, then log out and in again.")
            .arg(group, asRoot(QStringLiteral("adduser %1 %2").arg(userName(::getuid()), group)));
    }
    const QString owner = info.st_uid == 0 ? QStringLiteral("root") : userName(info.st_uid);
    return QStringLiteral("Only %1 can open it: ask your administrator or use a udev rule.")
        .arg(owner);
}

QString DeviceAccess::notSerialReason(const QString& path) {
    struct stat info {};
    if (!statOf(path, info))
        return {};
    if (S_ISREG(info.st_mode))
        return QStringLiteral("a regular file");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("a directory");
    if (!S_ISCHR(info.st_mode))
        return QStringLiteral("not a character device");
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return terminal ? QString() : QStringLiteral("a character device that is not a terminal");
}

QString DeviceAccess::asRoot(const QString& command) {
    if (!QStandardPaths::findExecutable(QStringLiteral("sudo")).isEmpty())
        return QStringLiteral("`sudo %1`").arg(command);
    // With "-": a plain su keeps the user's PATH, which lacks /usr/sbin on Debian.
    return QStringLiteral("`su - -c \"%1\"`").arg(command);
}
