// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_program.h"

#include <QProcess>
#include <grp.h>
#include <unistd.h>

namespace {
constexpr uid_t Nobody = 65534;
}

Run runProgram(const QString& program, const QStringList& arguments, const RunOptions& options) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& change : options.environment) {
        if (change.startsWith('-'))
            env.remove(change.mid(1));
        else
            env.insert(change.section('=', 0, 0), change.section('=', 1));
    }
    process.setProcessEnvironment(env);
    if (options.asNobody)
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                ::_exit(126);
        });
    process.start(program, arguments);
    if (!process.waitForFinished(options.boundMs)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}
