// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "raw_pty.h"

#include <QByteArray>

// A real pseudo-terminal pair standing in for the board: the program opens
// slavePath() as its serial device, the test reads and writes the master.
// Both ends are raw, and the test keeps a slave descriptor open so that the
// program closing and reopening the port never hangs the line up.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString slavePath() const { return pty_.slavePath; }
    int masterFd() const { return pty_.master; }

    // Board to program.
    void write(const QByteArray& bytes);
    // Program to board: what arrives within timeoutMs (stops early once nothing
    // more comes for quietMs after the first byte).
    QByteArray read(int timeoutMs = 200, int quietMs = 50);
    // Exactly n bytes, or fewer if timeoutMs passes first.
    QByteArray readExactly(int n, int timeoutMs = 2000);
    // The board goes away: its end of the line closes and the program's end hangs up.
    void closeMaster();

private:
    RawPty pty_;
};
