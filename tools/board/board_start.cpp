// SPDX-License-Identifier: GPL-3.0-or-later
#include "board_start.h"

#include "base/display.h"
#include "board_placement.h"
#include "form/form_scale.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <initializer_list>

namespace {
bool hasArgument(int argc, char** argv, std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i)
        for (const char* name : names)
            if (qstrcmp(argv[i], name) == 0)
                return true;
    return false;
}

// The frame is known only once shown: the same generous guess as ZERBO's.
void placeBesideZerbo(QWidget& window) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // A long port path widens the window beyond its set size once it is shown.
    const QSize size = window.size().expandedTo(window.minimumSizeHint());
    window.move(boardPlace(size.grownBy(AssumedFrame), available, zerboFrame(available)));
    // Placed beside ZERBO's window, it is still covered by what ZERBO opens or
    // moves later: its full-screen background, its help on a screen 1366 or
    // 1280 wide, its window centred. A desktop keeps a window that asks to stay
    // on top above all the others, whatever they open later or raise by a click.
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
}

void reportGeometry(const QWidget& window) {
    if (!qEnvironmentVariableIsSet("ZERBO_REPORT_GEOMETRY"))
        return;
    const QRect frame = window.frameGeometry();
    std::fprintf(stderr, "board geometry: frame %d %d %d %d%s\n", frame.x(), frame.y(),
                 frame.width(), frame.height(),
                 window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) ? " on top" : "");
}
} // namespace

std::unique_ptr<QCoreApplication> makeBoardApplication(int& argc, char** argv) {
    if (hasArgument(argc, argv, {"--headless", "-h", "--help", "--help-all", "-v", "--version"}) ||
        !hasDisplay(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    // Placed beside ZERBO's window only where it can be placed at all.
    preferX11ThroughXWayland(argc, argv);
    return std::make_unique<QApplication>(argc, argv);
}

bool windowPossible(bool headless) {
    if (headless || qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    std::fputs("zerbo-board: no display: run it in a desktop session, or with --headless\n",
               stderr);
    return false;
}

void showBesideZerbo(QWidget& window) {
    if (desktopPlacesWindows())
        std::fputs("zerbo-board: the desktop places the window (Wayland without XWayland), "
                   "beside ZERBO's or not\n",
                   stderr);
    placeBesideZerbo(window);
    window.show();
    reportGeometry(window);
}
