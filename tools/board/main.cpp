// SPDX-License-Identifier: GPL-3.0-or-later
// zerbo-board: a virtual microcontroller board on a pseudo-terminal, for
// using and testing ZERBO without hardware.
#include "board_options.h"
#include "board_start.h"
#include "board_window.h"
#include "key_one.h"
#include "quit_on_signal.h"
#include "stdin_key.h"
#include "virtual_line.h"

#include "led_row.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#ifdef ZERBO_BOARD_SIMULATOR
int runFirmwareBoard(const Options& options); // firmware_board.cpp
#endif

int main(int argc, char* argv[]) {
    const auto app = makeBoardApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zerbo-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZERBO_VERSION));
    const Options options = parse(QCoreApplication::arguments());
    if (!windowPossible(options.headless))
        return 1;
    if (options.runsChip()) {
#ifdef ZERBO_BOARD_SIMULATOR
        return runFirmwareBoard(options);
#else
        std::fprintf(stderr, "zerbo-board: this build has no firmware engine; install simavr, "
                             "libsimavr-dev and libelf-dev and rebuild (make)\n");
        return 2;
#endif
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
            pressKeyOneOnStdinLines(&key, [&key] { key.press(); });
    } else {
        window = std::make_unique<BoardWindow>(*line, QStringLiteral("scripted"));
        window->pause()->setValue(options.pauseMs);
        BoardWindow* shown = window.get();
        QObject::connect(line.get(), &VirtualLine::received, shown, [shown](unsigned char byte) {
            shown->leds()->showByte(byte);
            shown->logReceived(byte);
        });
        QObject::connect(shown->keyOne(), &QPushButton::clicked, &key, [&key, shown] {
            key.setPauseMs(shown->pause()->value());
            key.press();
        });
        QObject::connect(&key, &KeyOne::sent, shown, [shown](unsigned char code, bool lost) {
            if (lost)
                shown->log()->appendPlainText(
                    QStringLiteral("lost %1: nobody reads the port").arg(code));
        });
        QObject::connect(&key, &KeyOne::finished, shown, [shown] {
            shown->log()->appendPlainText(QStringLiteral("Key 1: sent 0 to 255"));
        });
        showBesideZerbo(*window);
    }
    if (options.sendTableAfterMs >= 0)
        QTimer::singleShot(options.sendTableAfterMs, &key, &KeyOne::press);
    return QCoreApplication::exec();
}
