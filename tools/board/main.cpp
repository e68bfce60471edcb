// SPDX-License-Identifier: GPL-3.0-or-later
// zerbo-board: a virtual microcontroller board on a pseudo-terminal, for
// using and testing ZERBO without hardware.
#include "board_window.h"
#include "key_one.h"
#include "quit_on_signal.h"
#include "stdin_key.h"
#include "virtual_line.h"

#include "base/display.h"
#include "board_placement.h"
#include "form/form_scale.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <memory>

namespace {
struct Options {
    bool headless = false;
    bool timestamps = false;
    bool keyFromStdin = false;
    bool echo = false;
    int sendTableAfterMs = -1; // -1: only when Key 1 is pressed
    int pauseMs = 0;
    QString linkPath;
};

// Lines on standard output, flushed at once so a script reading them never
// waits: "port PATH", "rx CODE" per received byte, "table sent".
void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// "rx CODE", or "rx CODE SECONDS" with the arrival time on CLOCK_MONOTONIC, so
// that a reader can time the bytes as the board saw them, not as it read the log.
QString receivedLine(unsigned char byte, bool timestamps) {
    QString line = QStringLiteral("rx %1").arg(byte);
    if (timestamps) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        line += QStringLiteral(" %1.%2").arg(now.tv_sec).arg(now.tv_nsec / 1000, 6, 10, QChar('0'));
    }
    return line;
}

int milliseconds(const QCommandLineParser& parser, const QCommandLineOption& option, int fallback) {
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0) {
        std::fprintf(stderr, "zerbo-board: --%s needs a whole number of milliseconds, 0 or more\n",
                     qPrintable(option.names().constFirst()));
        std::exit(2);
    }
    return value;
}

Options parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual board for ZERBO on a pseudo-terminal: Key 1 sends the codes 0 to 255, the "
        "LEDs show the byte received last. Start ZERBO with --port on the path it prints."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        QStringLiteral("No window: log each received byte on standard output as \"rx CODE\"."));
    const QCommandLineOption timestamps(
        QStringLiteral("timestamps"),
        QStringLiteral("Headless: add the arrival time (CLOCK_MONOTONIC, seconds) to each "
                       "\"rx CODE\" line."));
    const QCommandLineOption keyFromStdin(
        QStringLiteral("key-from-stdin"),
        QStringLiteral("Headless: press Key 1 for each line \"key1\" on standard input."));
    const QCommandLineOption sendAfter(
        QStringLiteral("send-table-after"),
        QStringLiteral("Press Key 1 once, MS milliseconds after start."), QStringLiteral("MS"));
    const QCommandLineOption pause(QStringLiteral("pause"),
                                   QStringLiteral("Pause between the bytes of the table (default "
                                                  "0: back to back at 38400 baud)."),
                                   QStringLiteral("MS"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Publish the port at PATH (default %1).")
                                      .arg(VirtualLine::defaultLinkPath()),
                                  QStringLiteral("PATH"));
    const QCommandLineOption echo(
        QStringLiteral("echo"),
        QStringLiteral("Send every byte received straight back, as a wire between pins 2 and 3 "
                       "does: the other end for zerbo --loopback-test."));
    parser.addOptions({headless, timestamps, keyFromStdin, sendAfter, pause, link, echo});
    parser.process(arguments);

    Options options;
    options.headless = parser.isSet(headless);
    options.timestamps = parser.isSet(timestamps);
    options.keyFromStdin = parser.isSet(keyFromStdin);
    options.echo = parser.isSet(echo);
    options.sendTableAfterMs = milliseconds(parser, sendAfter, -1);
    options.pauseMs = milliseconds(parser, pause, 0);
    options.linkPath = parser.isSet(link) ? parser.value(link) : VirtualLine::defaultLinkPath();
    return options;
}

bool hasArgument(int argc, char** argv, std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i)
        for (const char* name : names)
            if (qstrcmp(argv[i], name) == 0)
                return true;
    return false;
}

// Headless, --help and --version need no display, so they must not create a
// QApplication, which aborts the program where there is none. Without one the
// window is refused with one line once the command line has been read.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    if (hasArgument(argc, argv, {"--headless", "-h", "--help", "--help-all", "-v", "--version"}) ||
        !hasDisplay(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    return std::make_unique<QApplication>(argc, argv);
}
// The frame is known only once shown: the same generous guess as ZERBO's.
void placeBesideZerbo(QWidget& window) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // A long port path widens the window beyond its set size once it is shown.
    const QSize size = window.size().expandedTo(window.minimumSizeHint());
    const BoardPlace place =
        boardPlace(size.grownBy(AssumedFrame), available, zerboFrame(available));
    window.move(place.topLeft);
    window.setWindowFlag(Qt::WindowStaysOnTopHint, place.keepOnTop);
}

// With ZERBO_REPORT_GEOMETRY set, where the window stands once shown, as ZERBO reports its own.
void reportGeometry(const QWidget& window) {
    if (!qEnvironmentVariableIsSet("ZERBO_REPORT_GEOMETRY"))
        return;
    const QRect frame = window.frameGeometry();
    std::fprintf(stderr, "board geometry: frame %d %d %d %d%s\n", frame.x(), frame.y(),
                 frame.width(), frame.height(),
                 window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) ? " on top" : "");
}
} // namespace

int main(int argc, char* argv[]) {
    const auto app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zerbo-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZERBO_VERSION));
    const Options options = parse(QCoreApplication::arguments());
    if (!options.headless && !qobject_cast<QApplication*>(app.get())) {
        std::fputs("zerbo-board: no display: run it in a desktop session, or with --headless\n",
                   stderr);
        return 1;
    }

    std::unique_ptr<VirtualLine> line;
    try {
        line = std::make_unique<VirtualLine>(options.linkPath);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zerbo-board: %s\n", error.what());
        return 1;
    }
    quitOnTerminationSignals();
    KeyOne key(*line);
    key.setPauseMs(options.pauseMs);
    say(QStringLiteral("port %1").arg(line->linkPath()));
    if (options.echo)
        QObject::connect(line.get(), &VirtualLine::received, line.get(),
                         [echoing = line.get()](unsigned char byte) {
                             echoing->send(QByteArray(1, char(byte)));
                         });

    std::unique_ptr<BoardWindow> window;
    if (options.headless) {
        QObject::connect(line.get(), &VirtualLine::received,
                         [timestamps = options.timestamps](unsigned char byte) {
                             say(receivedLine(byte, timestamps));
                         });
        QObject::connect(&key, &KeyOne::finished, [] { say(QStringLiteral("table sent")); });
        if (options.keyFromStdin)
            pressKeyOneOnStdinLines(key);
    } else {
        window = std::make_unique<BoardWindow>(*line, key);
        window->pause->setValue(options.pauseMs);
        placeBesideZerbo(*window);
        window->show();
        reportGeometry(*window);
    }
    if (options.sendTableAfterMs >= 0)
        QTimer::singleShot(options.sendTableAfterMs, &key, &KeyOne::press);
    return QCoreApplication::exec();
}
