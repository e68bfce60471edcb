// SPDX-License-Identifier: GPL-3.0-or-later
#include "raw_pty.h"

#include "serial/line_settings.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

namespace {
void makeRaw(int fd) {
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, BoardLine::TermiosSpeed);
    cfsetospeed(&tio, BoardLine::TermiosSpeed);
    tcsetattr(fd, TCSANOW, &tio);
}
} // namespace

bool openRawPty(RawPty& pty) {
    char name[256] = {};
    if (::openpty(&pty.master, &pty.slave, name, nullptr, nullptr) != 0)
        return false;
    makeRaw(pty.master);
    makeRaw(pty.slave);
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    // A program started meanwhile must not hold the line's ends: it would keep
    // the line up after the board hung up, and look like a user of the port.
    ::fcntl(pty.master, F_SETFD, FD_CLOEXEC);
    ::fcntl(pty.slave, F_SETFD, FD_CLOEXEC);
    pty.slavePath = QString::fromLocal8Bit(name);
    return true;
}
