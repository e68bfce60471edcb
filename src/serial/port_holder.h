// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

// Who holds a device, as far as /proc shows it to this user.
namespace PortHolder {
// "PID 1234 (cat)", or "PID 1234" when its name cannot be read.
QString describe(pid_t pid);
// The PID a UUCP lock file names (ASCII "%10d" or "%d", or a binary int).
std::optional<pid_t> lockFilePid(const QByteArray& contents);
// Whether the PID belongs to a running process (ours or another user's).
bool alive(pid_t pid);
// The PID of another process holding an flock on the device node, if shown.
std::optional<pid_t> flockHolder(const QString& device);
// The other processes that have the device open (any path to it).
QList<pid_t> openers(const QString& device);
// The other processes that have the device open and may read it, as
// "PID 12 (cat)". The virtual board holds the other end of its line
// without reading it: never named.
QStringList otherReaders(const QString& device);
// Who has the device open exclusively: "it is open exclusively in PID 12
// (cat)"; every other process with it open is named, as the flag does
// not tell whose it is.
QString exclusiveHolders(const QString& device);
} // namespace PortHolder
