// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

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
