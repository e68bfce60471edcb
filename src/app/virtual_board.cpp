// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/virtual_board.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
constexpr int StartMs = 10000; // a loaded machine starting a Qt program
}

QString virtualBoardProgram() {
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {here + QStringLiteral("/zerbo-board"), here + QStringLiteral("/tools/zerbo-board")})
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    return {};
}

std::optional<QString> startVirtualBoard(const QString& program) {
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    // A link of this program's own: a board the user started keeps its own.
    const QString link =
        runtimeDir.isEmpty()
            ? QStringLiteral("/tmp/zerbo-board-%1-for-%2").arg(::getuid()).arg(::getpid())
            : QStringLiteral("%1/zerbo-board-for-%2").arg(runtimeDir).arg(::getpid());
    auto* board = new QProcess(QCoreApplication::instance());
    board->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The program ends through _exit, which runs no destructor: the kernel
    // tells the board instead, and the board removes its link on SIGTERM.
    board->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    board->start(program, {QStringLiteral("--link"), link});
    const QDeadlineTimer deadline(StartMs);
    while (!board->canReadLine() && board->waitForReadyRead(int(deadline.remainingTime()))) {
    }
    const QString line = QString::fromLocal8Bit(board->readLine()).trimmed();
    if (!line.startsWith(QLatin1String("port "))) {
        std::fprintf(stderr, "zerbo: the virtual board %s did not start\n", qPrintable(program));
        board->kill();
        board->waitForFinished();
        delete board;
        return std::nullopt;
    }
    // A normal return from main destroys the process object, which kills
    // the board outright; asked to end instead, it removes its link.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, board, [board] {
        board->terminate();
        board->waitForFinished(2000);
    });
    return line.mid(5);
}
