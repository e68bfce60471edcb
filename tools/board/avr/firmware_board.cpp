// SPDX-License-Identifier: GPL-3.0-or-later
// zerbo-board --firmware: the board's firmware image on a simulated ATmega8
// (or ATmega328P, --mcu), with the same window, headless log and options as
// the scripted board; with --bootloader, a chip that starts in its bootloader.
#include "board_options.h"
#include "board_start.h"
#include "board_window.h"
#include "firmware_engine.h"
#include "led_row.h"
#include "quit_on_signal.h"
#include "stdin_key.h"
#include "virtual_line.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <memory>

int runFirmwareBoard(const Options& options) {
    keepStandardOutputForBoardLines();
    const Chip* chip = findChip(options.mcu.toStdString());
    if (chip == nullptr) {
        std::fprintf(stderr, "zerbo-board: --mcu %s: no such chip here; it simulates %s\n",
                     qPrintable(options.mcu), chipNames().c_str());
        return 2;
    }
    FirmwareImage image;
    image.clockHz = chip->clockHz;
    FirmwareImage bootloader;
    std::unique_ptr<VirtualLine> line;
    std::unique_ptr<FirmwareEngine> engine;
    try {
        if (!options.firmwarePath.isEmpty())
            image = readFirmwareImage(options.firmwarePath.toStdString(), *chip);
        if (!options.bootloaderPath.isEmpty())
            bootloader = readBootloaderImage(options.bootloaderPath.toStdString(), *chip);
        line = std::make_unique<VirtualLine>(options.linkPath, false);
        if (!options.bootloaderPath.isEmpty())
            line->setHangUpOnClose(); // as a USB port is when plugged in
        engine = std::make_unique<FirmwareEngine>(
            *line, image, *chip, options.bootloaderPath.isEmpty() ? nullptr : &bootloader);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zerbo-board: %s\n", error.what());
        return 1;
    }
    quitOnTerminationSignals();
    const QString description =
        FirmwareEngine::describe(options.firmwarePath, image, *chip, options.bootloaderPath);
    say(QStringLiteral("port %1").arg(line->linkPath()));
    // A busy machine can make the simulator fall behind many times a second:
    // one line a second at most says how often and how much.
    int timesBehind = 0;
    double skippedMs = 0;
    QTimer lagReport;
    lagReport.setSingleShot(true);
    lagReport.setInterval(1000);
    QObject::connect(&lagReport, &QTimer::timeout, [&timesBehind, &skippedMs] {
        std::fprintf(stderr,
                     "zerbo-board: the simulator fell behind real time %d time%s in a second (a "
                     "busy machine) and skipped %.1f ms\n",
                     timesBehind, timesBehind == 1 ? "" : "s", skippedMs);
        timesBehind = 0;
        skippedMs = 0;
    });
    QObject::connect(engine.get(), &FirmwareEngine::fellBehind, [&](double ms) {
        ++timesBehind;
        skippedMs += ms;
        if (!lagReport.isActive())
            lagReport.start();
    });

    std::unique_ptr<BoardWindow> window;
    if (options.headless) {
        // The window names the board; without it, a script (or a user) reads it here.
        std::fprintf(stderr, "zerbo-board: runs the %s\n", qPrintable(description));
        QObject::connect(engine.get(), &FirmwareEngine::reset,
                         [] { say(QStringLiteral("reset: DTR rose, the bootloader runs")); });
        QObject::connect(engine.get(), &FirmwareEngine::received,
                         [timestamps = options.timestamps](unsigned char byte) {
                             say(receivedLine(byte, timestamps));
                         });
        QObject::connect(engine.get(), &FirmwareEngine::tableSent,
                         [] { say(QStringLiteral("table sent")); });
        if (options.logLeds)
            QObject::connect(engine.get(), &FirmwareEngine::ledsChanged,
                             [](unsigned char leds, double seconds) {
                                 say(QStringLiteral("led %1 %2").arg(leds).arg(seconds, 0, 'f', 6));
                             });
        if (options.keyFromStdin)
            pressKeyOneOnStdinLines(engine.get(), [&engine] { engine->press(); });
    } else {
        window = std::make_unique<BoardWindow>(*line, description);
        BoardWindow* shown = window.get();
        shown->pause()->setValue(int(image.pauseMs));
        shown->pause()->setEnabled(false);
        shown->pause()->setToolTip(QStringLiteral("Built into the firmware"));
        QObject::connect(engine.get(), &FirmwareEngine::ledsChanged, shown,
                         [shown](unsigned char leds) { shown->leds()->showByte(leds); });
        QObject::connect(engine.get(), &FirmwareEngine::received, shown, &BoardWindow::logReceived);
        QObject::connect(shown->keyOne(), &QPushButton::clicked, engine.get(),
                         &FirmwareEngine::press);
        QObject::connect(engine.get(), &FirmwareEngine::reset, shown, [shown] {
            shown->log()->appendPlainText(QStringLiteral("Reset: DTR rose, the bootloader runs"));
        });
        QObject::connect(engine.get(), &FirmwareEngine::tableSent, shown, [shown] {
            shown->log()->appendPlainText(QStringLiteral("Key 1: the firmware sent 0 to 255"));
        });
        showBesideZerbo(*window);
    }
    if (options.sendTableAfterMs >= 0)
        QTimer::singleShot(options.sendTableAfterMs, engine.get(), &FirmwareEngine::press);
    return QCoreApplication::exec();
}
