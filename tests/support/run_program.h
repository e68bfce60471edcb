// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

class QProcess;

// How a program run to its end went.
struct Run {
    int exitCode = -1; // -1 when it crashed or did not end in time
    QString out, err;
};

struct RunOptions {
    QStringList environment; // changes: "NAME=value" sets, "-NAME" unsets
    bool asNobody = false;   // as the user and group nobody, with no other groups
    int boundMs = 15000;     // then it is killed
};

// Runs the program to its end.
Run runProgram(const QString& program, const QStringList& arguments,
               const RunOptions& options = {});

// The user and group nobody.
inline constexpr uid_t NobodyId = 65534;
// In a child process: drops to nobody with no other groups; false if it could not.
bool becomeNobody();

// The process starts as the user and group nobody, with no other groups,
// and reads its platform's screen file (QT_QPA_PLATFORM) from a copy too.
void startsAsNobody(QProcess& process);
// A copy of the program (or file) that nobody can reach, made once per test process in
// a folder all may enter: the build tree may lie in a home folder of mode
// 0700 (Debian's homes and /root are), which nobody cannot reach.
QString reachableByNobody(const QString& program);
