// SPDX-License-Identifier: GPL-3.0-or-later
#include "standard_error.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

QString standardErrorOf(const std::function<void()>& call) {
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("no file");
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    call();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}

QString reportedError(QProcess& program) {
    program.setReadChannel(QProcess::StandardError);
    QByteArray errors;
    const auto complete = [&errors] {
        const qsizetype report = errors.indexOf("zerbo: Run-time error");
        return report >= 0 && errors.indexOf('\n', report) > 0;
    };
    QDeadlineTimer deadline(10000);
    while (!complete() && program.waitForReadyRead(int(deadline.remainingTime())))
        errors += program.readAllStandardError();
    return QString::fromLocal8Bit(errors);
}
