// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/com1_device.h"
#include "app/command_line.h"
#include "app/console_tasks.h"
#include "app/error_report.h"
#include "app/zerbo.h"
#include "app/zerbo_application.h"
#include "base/display.h"
#include "form/form_scale.h"
#include "form/status_line.h"
#include "serial/comm_errors.h"

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

CommandLine readCommandLine() {
    // --help, --version and unknown options print and end inside the parsing.
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (line.namedByEnvironment)
        CommErrors::setCom1NamedBy(QStringLiteral("ZERBO_PORT"));
    return line;
}

// Also the way in without a display: the command line is still read, so
// --help, --version and a wrong option answer as usual, and the window is
// refused with one line instead of Qt's abort.
int runConsoleTask(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    nameApplication();
    const CommandLine line = readCommandLine();
    if (line.listPorts)
        return listPorts();
    if (line.loopbackTest)
        return loopbackTest(line.namedDevice);
    std::fputs("zerbo: no display: run it in a desktop session; zerbo --loopback-test and "
               "--list-ports need none\n",
               stderr);
    return 1;
}
} // namespace

int main(int argc, char* argv[]) {
    if (asksForConsoleTask(argc, argv) || !hasDisplay(argc, argv))
        return runConsoleTask(argc, argv);
    // GLib's event loop wakes itself with a write for every event posted, and
    // creating the window posts one for each of its nearly 900 controls; Qt's
    // own loop writes once until it wakes. Nothing here needs GLib's.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    preferX11ThroughXWayland(argc, argv);
    ZerboApplication app(argc, argv);
    nameApplication();
    if (desktopPlacesWindows())
        std::fputs("zerbo: the desktop places the windows (Wayland without XWayland): Set form "
                   "position, Set form center, Top and Left cannot move the window, nor can the "
                   "virtual board open beside it\n",
                   stderr);
    const CommandLine line = readCommandLine();
    std::optional<Com1> com1;
    try {
        com1 = findCom1Device(line.namedDevice, WhenNotFound::Ask);
    } catch (const std::exception& error) {
        reportErrorAndEnd(error);
    }
    if (!com1)
        return 0; // the user ended the program instead of picking a port
    if (!line.namedDevice.isEmpty())
        sayCom1(*com1);

    Zerbo zerbo(com1->device);
    // The device and why it is COM1 stay in sight at the right of the status line, and
    // so does a desktop that places the windows itself.
    zerbo.form().statusLine()->showCom1(
        com1->device, desktopPlacesWindows() ? com1->why + QStringLiteral("; the desktop places "
                                                                          "the windows")
                                             : com1->why);
    // The first events are handled while the reception waits, the window shown.
    QTimer::singleShot(0, &zerbo.form(), [&zerbo] { reportGeometry(zerbo.form(), "waiting"); });
    try {
        zerbo.Form_Load();
    } catch (const std::exception& error) {
        zerbo.reportError(error);
    }
    reportGeometry(zerbo.form(), "started");
    return ZerboApplication::exec();
}
