// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A pseudo-terminal pair with both ends raw at 38400 baud and the master
// non-blocking: what stands in for the board's side of the serial line.
struct RawPty {
    int master = -1;
    int slave = -1;
    QString slavePath;
};

// Returns false (errno set) when no pseudo-terminal can be had.
bool openRawPty(RawPty& pty);
