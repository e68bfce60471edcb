// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_desktops.h"

#include "process_group.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {
constexpr int StartMs = 20000; // weston and XWayland on a loaded machine

void end(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

// What the process printed up to a line matching pattern: its first group.
QString awaitLine(QProcess& process, const QRegularExpression& pattern) {
    QString said;
    const QDeadlineTimer deadline(StartMs);
    for (;;) {
        if (const auto match = pattern.match(said); match.hasMatch())
            return match.captured(1);
        if (!process.waitForReadyRead(int(deadline.remainingTime())))
            return {};
        said += QString::fromLocal8Bit(process.readAll());
    }
}

QString missing(const QString& program, const char* package) {
    return QStringLiteral("no %1 (package %2; make test installs it)").arg(program, package);
}
} // namespace

WestonDesktop::WestonDesktop(QSize screen) {
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty()) {
        failure_ = missing(QStringLiteral("weston or Xwayland"), "weston, xwayland");
        return;
    }
    // X servers make the folder of their sockets themselves; weston does not.
    if (QDir().mkpath(QStringLiteral("/tmp/.X11-unix")))
        QFile::setPermissions(QStringLiteral("/tmp/.X11-unix"), QFileDevice::Permissions(0x7777));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    weston_.setProcessEnvironment(env);
    endsWithTheTest(weston_);
    weston_.setProcessChannelMode(QProcess::MergedChannels);
    weston_.start(weston, {QStringLiteral("--backend=headless-backend.so"),
                           QStringLiteral("--socket=zerbo-test"), QStringLiteral("--xwayland"),
                           QStringLiteral("--no-config"), QStringLiteral("--idle-time=0"),
                           QStringLiteral("--width=%1").arg(screen.width()),
                           QStringLiteral("--height=%1").arg(screen.height())});
    xDisplay_ =
        awaitLine(weston_, QRegularExpression(QStringLiteral("listening on display (:\\d+)")));
    if (xDisplay_.isEmpty())
        failure_ = QStringLiteral("weston did not start with XWayland: ") +
                   QString::fromLocal8Bit(weston_.readAll());
}

WestonDesktop::~WestonDesktop() {
    end(weston_);
}

QProcessEnvironment WestonDesktop::environment(bool withXWayland) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("zerbo-test"));
    if (withXWayland)
        env.insert(QStringLiteral("DISPLAY"), xDisplay_);
    return env;
}

XDesktop::XDesktop(QSize screen) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty()) {
        failure_ = missing(QStringLiteral("Xvfb or openbox"), "xvfb, openbox");
        return;
    }
    endsWithTheTest(server_);
    // -displayfd 1: the server picks a free display and prints its number.
    server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                         QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    const QString number = awaitLine(server_, QRegularExpression(QStringLiteral("^(\\d+)\\n")));
    if (number.isEmpty()) {
        failure_ = QStringLiteral("Xvfb did not start");
        return;
    }
    display_ = QLatin1Char(':') + number;
    // Openbox runs its start-up command once it manages the screen.
    const QString ready = dir_.filePath(QStringLiteral("ready"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    windowManager_.setProcessEnvironment(env);
    endsWithTheTest(windowManager_);
    windowManager_.setProcessChannelMode(QProcess::ForwardedChannels);
    windowManager_.start(openbox, {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                                   QStringLiteral("touch ") + ready});
    const QDeadlineTimer deadline(StartMs);
    while (!QFile::exists(ready) && !deadline.hasExpired() &&
           windowManager_.state() != QProcess::NotRunning)
        QThread::msleep(50);
    if (!QFile::exists(ready))
        failure_ = QStringLiteral("openbox did not start on ") + display_;
}

XDesktop::~XDesktop() {
    end(windowManager_);
    end(server_);
}
