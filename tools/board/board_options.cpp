// SPDX-License-Identifier: GPL-3.0-or-later
#include "board_options.h"

#include "virtual_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

FILE* sayTo = stdout;
} // namespace

void say(const QString& line) {
    std::fprintf(sayTo, "%s\n", qPrintable(line));
    std::fflush(sayTo);
}

// The simulator library prints to standard output on its own; its lines go
// to standard error, the board's own to the real standard output.
void keepStandardOutputForBoardLines() {
    const int out = ::dup(STDOUT_FILENO);
    FILE* stream = out >= 0 ? ::fdopen(out, "w") : nullptr;
    if (stream == nullptr)
        return;
    sayTo = stream;
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
}

namespace {} // namespace

QString receivedLine(unsigned char byte, bool timestamps) {
    QString line = QStringLiteral("rx %1").arg(byte);
    if (timestamps) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        line += QStringLiteral(" %1.%2").arg(now.tv_sec).arg(now.tv_nsec / 1000, 6, 10, QChar('0'));
    }
    return line;
}

namespace {
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

// The image installed with the program (the package's
// /usr/share/zerbo/firmware/zerbo-board.hex), found from where this program
// lies so that any install prefix works; empty in a build tree, which runs
// the scripted board unless --firmware names its image (make run does).
QString installedFirmware() {
#ifdef ZERBO_BOARD_SIMULATOR
    const QString image = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                          QStringLiteral("/" ZERBO_INSTALLED_FIRMWARE));
    if (QFileInfo(image).isFile())
        return image;
#endif
    return {};
}

} // namespace

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
    QCommandLineOption firmware(
        QStringLiteral("firmware"),
        QStringLiteral("Run the board's firmware image FILE.hex (make firmware builds "
                       "zerbo-board.hex) on a simulated ATmega8 instead of the scripted board; "
                       "the default where the image is installed with the program."),
        QStringLiteral("FILE"));
    const QCommandLineOption scripted(
        QStringLiteral("scripted"),
        QStringLiteral("Run the scripted board even where the firmware image is installed "
                       "(--echo and --pause choose it too)."));
    QCommandLineOption mcu(
        QStringLiteral("mcu"),
        QStringLiteral("With --firmware or --bootloader: the chip, atmega8 (the ATmega8A board "
                       "at the image's clock, the default) or atmega328p (an Arduino Uno or "
                       "Nano at 16 MHz, for zerbo-board-uno.hex)."),
        QStringLiteral("CHIP"), QStringLiteral("atmega8"));
    QCommandLineOption bootloader(
        QStringLiteral("bootloader"),
        QStringLiteral("Start the chip in the bootloader FILE.hex, with the --firmware image (if "
                       "any) already in flash, and restart it in the bootloader whenever a "
                       "program opens the port after one that left HUPCL set, as an Arduino "
                       "Uno does when DTR rises. avrdude -c arduino writes through it."),
        QStringLiteral("FILE"));
    QCommandLineOption logLeds(
        QStringLiteral("log-leds"),
        QStringLiteral("Headless, with --firmware: log each pattern the firmware puts on the "
                       "LEDs as \"led CODE SECONDS\", in simulated time plus any time the "
                       "simulator skipped after falling behind."));
#ifndef ZERBO_BOARD_SIMULATOR
    // A build without simavr still takes them, to say what it lacks; its help
    // leaves them out, which is how scripts tell the builds apart.
    firmware.setFlags(QCommandLineOption::HiddenFromHelp);
    logLeds.setFlags(QCommandLineOption::HiddenFromHelp);
    mcu.setFlags(QCommandLineOption::HiddenFromHelp);
    bootloader.setFlags(QCommandLineOption::HiddenFromHelp);
#endif
    parser.addOptions({headless, timestamps, keyFromStdin, sendAfter, pause, link, echo, firmware,
                       mcu, bootloader, logLeds, scripted});
    parser.process(arguments);

    Options options;
    options.headless = parser.isSet(headless);
    options.timestamps = parser.isSet(timestamps);
    options.keyFromStdin = parser.isSet(keyFromStdin);
    options.echo = parser.isSet(echo);
    options.sendTableAfterMs = milliseconds(parser, sendAfter, -1);
    options.pauseMs = milliseconds(parser, pause, 0);
    options.firmwarePath = parser.value(firmware);
    options.logLeds = parser.isSet(logLeds);
    options.mcu = parser.value(mcu);
    options.bootloaderPath = parser.value(bootloader);
    const bool scriptedChosen = parser.isSet(scripted) || options.echo || parser.isSet(pause);
    if (options.runsChip() && parser.isSet(scripted)) {
        std::fprintf(stderr, "zerbo-board: --scripted and --firmware (or --bootloader) choose "
                             "different boards\n");
        std::exit(2);
    }
    if (options.firmwarePath.isEmpty() && options.bootloaderPath.isEmpty() && parser.isSet(mcu)) {
        std::fprintf(stderr, "zerbo-board: --mcu names the chip that runs --firmware FILE (or "
                             "--bootloader FILE); the scripted board has none\n");
        std::exit(2);
    }
    if (options.runsChip() && (options.echo || parser.isSet(pause))) {
        std::fprintf(stderr, "zerbo-board: --echo and --pause are the scripted board's; the "
                             "firmware's pause is built in (make firmware "
                             "FIRMWARE_PAUSE_MS=MS)\n");
        std::exit(2);
    }
    if (!options.runsChip() && !scriptedChosen)
        options.firmwarePath = installedFirmware();
    options.linkPath = parser.isSet(link) ? parser.value(link) : VirtualLine::defaultLinkPath();
    return options;
}
