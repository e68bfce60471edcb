// SPDX-License-Identifier: GPL-3.0-or-later
#include "standard_error.h"

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
