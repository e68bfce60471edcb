// SPDX-License-Identifier: GPL-3.0-or-later
// Time from exec of the real zerbo binary to its window mapped on an X server:
// what a user waits for, the X server's share included, which the offscreen
// figure leaves out. A virtual X server (Xvfb, 1920x1200, where the window is
// drawn as designed) is started for it; the window's MapNotify on the root
// window ends each start. A one-label Qt window is started in turn with it, on
// the same display: what any Qt program pays before its first window.
#include "board_process.h"
#include "figures.h"
#include "measure.h"

#include <QStandardPaths>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#ifdef ZERBO_BENCH_XCB
#include <xcb/xcb.h>
#endif

namespace {
constexpr int CountedStarts = 7;
constexpr double TargetMs = 150; // 0.8 of a general serial terminal's start on the same display
} // namespace

#ifdef ZERBO_BENCH_XCB
namespace {
constexpr int WarmUpStarts = 1;
constexpr int WaitMs = 10000;

// A virtual X server on a free display, ended with this object.
class VirtualDisplay {
public:
    VirtualDisplay() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        int fds[2];
        if (xvfb.isEmpty() || pipe(fds) != 0)
            return;
        const std::string path = xvfb.toStdString(), fd = std::to_string(fds[1]);
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            execl(path.c_str(), path.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
                  "1920x1200x24", "-nolisten", "tcp", "-noreset", nullptr);
            std::_Exit(127);
        }
        close(fds[1]);
        char number[16] = {};
        pollfd ready{fds[0], POLLIN, 0};
        if (poll(&ready, 1, WaitMs) == 1 && read(fds[0], number, sizeof number - 1) > 0)
            name_ = ":" + std::to_string(std::atoi(number));
        close(fds[0]);
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// One start of program (with its arguments): exec to the first window mapped,
// in ms; -1 if none within WaitMs.
double mappedMilliseconds(xcb_connection_t* x, const std::string& display,
                          const std::vector<const char*>& program) {
    std::vector<char*> arguments;
    for (const char* argument : program)
        arguments.push_back(const_cast<char*>(argument));
    arguments.push_back(nullptr);
    const qint64 started = monotonicNs();
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("QT_QPA_PLATFORM"); // the bench's own offscreen platform is not for this start
        execv(arguments[0], arguments.data());
        std::_Exit(127);
    }
    double ms = -1;
    pollfd events{xcb_get_file_descriptor(x), POLLIN, 0};
    while (ms < 0) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && ms < 0)
                ms = double(monotonicNs() - started) / 1e6;
            free(event);
        }
        if (ms < 0 && poll(&events, 1, WaitMs) != 1)
            break;
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return ms;
}
} // namespace

#endif

std::vector<Row> mappedStartupRows([[maybe_unused]] const BoardProcess& board) {
    const QString figure = QStringLiteral("time from exec to the window mapped on Xvfb 1920x1200 "
                                          "(median of %1 starts)")
                               .arg(CountedStarts);
    const QString target = QStringLiteral("under %1 ms").arg(TargetMs);
    const QString floorFigure =
        QStringLiteral("the same for a one-label Qt window, started in turn");
    const QString floorTarget = QStringLiteral("(what any Qt program pays)");
    const auto neither = [&](const QString& reason) {
        return std::vector<Row>{notMeasured(figure, target, reason),
                                notMeasured(floorFigure, floorTarget, reason)};
    };
#ifndef ZERBO_BENCH_XCB
    return neither(QStringLiteral("built without xcb (package libxcb1-dev)"));
#else
    const VirtualDisplay display;
    if (display.name().empty())
        return neither(QStringLiteral("Xvfb did not start (package xvfb)"));
    xcb_connection_t* x = xcb_connect(display.name().c_str(), nullptr);
    if (xcb_connection_has_error(x)) {
        xcb_disconnect(x);
        return neither(QStringLiteral("no connection to Xvfb"));
    }
    // Every window mapped on the screen is reported here.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, xcb_setup_roots_iterator(xcb_get_setup(x)).data->root,
                                 XCB_CW_EVENT_MASK, &mask);
    free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr)); // the mask holds now
    const std::string link = board.link().toStdString();
    const std::vector<const char*> zerbo{ZERBO_BINARY, "--port", link.c_str()};
    const std::vector<const char*> floor{ZERBO_FLOOR_BINARY};
    for (int start = 0; start < WarmUpStarts; ++start) {
        mappedMilliseconds(x, display.name(), zerbo);
        mappedMilliseconds(x, display.name(), floor);
    }
    // In turn, so that a change in the machine's load falls on both alike.
    std::vector<double> zerboStarts, floorStarts;
    for (int start = 0; start < CountedStarts; ++start) {
        zerboStarts.push_back(mappedMilliseconds(x, display.name(), zerbo));
        floorStarts.push_back(mappedMilliseconds(x, display.name(), floor));
        if (zerboStarts.back() < 0 || floorStarts.back() < 0) { // no use waiting for the rest
            xcb_disconnect(x);
            return neither(QStringLiteral("a window was not mapped"));
        }
    }
    xcb_disconnect(x);
    const double ms = median(zerboStarts), floorMs = median(floorStarts);
    return {{figure,
             decimal(ms, 1) +
                 QStringLiteral(" ms (%1x the one-label window)").arg(decimal(ms / floorMs, 2)),
             target, ms < TargetMs},
            {floorFigure, decimal(floorMs, 1) + QStringLiteral(" ms"), floorTarget, true}};
#endif
}
