// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Keeps other programs off the device while this one has it open, and this
// one off a device another program holds. Three kinds of holder are looked
// for: a UUCP lock file (LCK..name in /run/lock or /var/lock) whose PID is
// alive, whatever program it is; a descriptor opened exclusively (TIOCEXCL);
// and an flock on the device. While held, this program keeps its own flock
// on a descriptor of its own. Root ignores TIOCEXCL when it opens, so for
// root the lock file, the exclusive flag read back and the flock are what
// tell. Symlinks are resolved first: every path to one device is one lock.
class PortLock {
public:
    PortLock() = default;
    ~PortLock() { release(); }
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // The real device behind path (symlinks resolved); path itself when it
    // cannot be resolved, so that the open reports why.
    static QString realDevice(const QString& path);

    // Throws error 8005, naming the holder, when another program holds the
    // device; a lock file whose PID is dead is stale and removed. A device
    // that cannot be opened at all is left for the port's own open to report.
    void acquire(const QString& device, const QString& shownPath);
    // Who acquire() would find holding the device ("PID 1234 (cat) holds its
    // lock file ..."), found without taking it or clearing anything; empty
    // when nobody does or the device cannot be opened at all.
    static QString holderOf(const QString& device);
    void release();

private:
    int fd_ = -1;
};
