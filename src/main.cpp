// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/com1_device.h"
#include "app/command_line.h"
#include "app/console_tasks.h"
#include "app/error_report.h"
#include "app/shutdown.h"
#include "app/zerbo.h"
#include "app/zerbo_application.h"
#include "form/form_scale.h"

#include <QTimer>
#include <cstdio>

namespace {
// With ZERBO_REPORT_GEOMETRY set, one line on standard error while start-up
// waits for the board and one once the window stands at its start position:
// how it fits a screen nobody looks at.
void reportGeometry(const QWidget& window, const char* phase) {
    if (!qEnvironmentVariableIsSet("ZERBO_REPORT_GEOMETRY"))
        return;
    const QRect frame = window.frameGeometry(), area = fittedArea();
    std::fprintf(stderr, "geometry: %s scale %.4f frame %d %d %d %d available %d %d %d %d\n", phase,
                 formScale(), frame.x(), frame.y(), frame.width(), frame.height(), area.x(),
                 area.y(), area.width(), area.height());
}

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("zerbo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZERBO_VERSION));
}

int runConsoleTask(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    nameApplication();
    // --help and --version print and end inside the parsing.
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    return line.listPorts ? listPorts() : loopbackTest(line.namedDevice);
}
} // namespace

int main(int argc, char* argv[]) {
    if (asksForConsoleTask(argc, argv))
        return runConsoleTask(argc, argv);
    // GLib's event loop wakes itself with a write for every event posted, and
    // creating the window posts one for each of its nearly 900 controls; Qt's
    // own loop writes once until it wakes. Nothing here needs GLib's.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    ZerboApplication app(argc, argv);
    nameApplication();
    const CommandLine line = parseCommandLine(ZerboApplication::arguments());
    std::optional<QString> device;
    try {
        device = findCom1Device(line.namedDevice, WhenSeveral::Ask);
    } catch (const std::exception& error) {
        reportErrorAndEnd(error);
    }
    if (!device)
        return 0; // the user ended the program instead of picking an adapter

    Zerbo zerbo(*device);
    Shutdown::setPort(&zerbo.comTest);
    // The first events are handled while the reception waits, the window shown.
    QTimer::singleShot(0, &zerbo.form, [&zerbo] { reportGeometry(zerbo.form, "waiting"); });
    try {
        zerbo.Form_Load();
    } catch (const std::exception& error) {
        reportErrorAndEnd(error);
    }
    reportGeometry(zerbo.form, "started");
    return ZerboApplication::exec();
}
