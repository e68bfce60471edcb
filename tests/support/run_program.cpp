// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(NobodyId) == 0 && ::setuid(NobodyId) == 0;
}

void startsAsNobody(QProcess& process) {
    // The platform's screen file lies in the source tree, out of nobody's reach too.
    QProcessEnvironment env = process.processEnvironment();
    if (env.isEmpty())
        env = QProcessEnvironment::systemEnvironment();
    QString platform = env.value(QStringLiteral("QT_QPA_PLATFORM"));
    const QString key = QStringLiteral("configfile=");
    if (const qsizetype at = platform.indexOf(key); at >= 0) {
        const QString file = platform.mid(at + key.size()).section(QLatin1Char(':'), 0, 0);
        platform.replace(at + key.size(), file.size(), reachableByNobody(file));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        process.setProcessEnvironment(env);
    }
    process.setChildProcessModifier([] {
        if (!becomeNobody())
            ::_exit(126);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // after the change of user, which clears it
    });
}

QString reachableByNobody(const QString& program) {
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zerbo-as-nobody-XXXXXX"));
    static QHash<QString, QString> copies;
    if (const auto found = copies.constFind(program); found != copies.cend())
        return *found;
    const QString copy = folder.filePath(QFileInfo(program).fileName());
    if (!folder.isValid() || ::chmod(QFile::encodeName(folder.path()).constData(), 0755) != 0 ||
        !QFile::copy(program, copy) || ::chmod(QFile::encodeName(copy).constData(), 0755) != 0)
        qFatal("cannot copy %s where nobody can run it", qPrintable(program));
    copies.insert(program, copy);
    return copy;
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
        startsAsNobody(process);
    process.start(options.asNobody ? reachableByNobody(program) : program, arguments);
    if (!process.waitForFinished(options.boundMs)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}
