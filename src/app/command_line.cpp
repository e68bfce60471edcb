// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstring>

namespace {
const char ListPorts[] = "list-ports";
const char LoopbackTest[] = "loopback-test";
} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tests the serial link to a microcontroller board: receives the codes "
                       "0 to 255 into a table, shows their bit patterns and sends bytes back."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Serial device used as COM1 (default: the environment variable "
                       "ZERBO_PORT, else the one found: /dev/ttyS0 when it opens, a USB "
                       "serial adapter, or a virtual board that runs; see zerbo(1))."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption listPorts(
        QString::fromLatin1(ListPorts),
        QStringLiteral("Print the serial ports present and a virtual board that runs, one a "
                       "line, and end."));
    const QCommandLineOption loopbackTest(
        QString::fromLatin1(LoopbackTest),
        QStringLiteral("Cable test: with pins 2 and 3 of the port's 9-pin socket bridged, send "
                       "the codes 0 to 255, read them back and print a report. Exit status 0 "
                       "when all came back intact, 1 when not, 2 when the port cannot be used."));
    parser.addOptions({port, listPorts, loopbackTest});
    parser.process(arguments);

    CommandLine line;
    line.namedDevice = parser.isSet(port) ? parser.value(port) : qEnvironmentVariable("ZERBO_PORT");
    line.namedByEnvironment = !parser.isSet(port) && !line.namedDevice.isEmpty();
    line.listPorts = parser.isSet(listPorts);
    line.loopbackTest = parser.isSet(loopbackTest);
    return line;
}

bool asksForConsoleTask(int argc, char* argv[]) {
    const char* const printing[] = {ListPorts, LoopbackTest, "help", "help-all",
                                    "h",       "version",    "v"};
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i] + std::strspn(argv[i], "-");
        if (name == argv[i])
            continue;
        for (const char* option : printing)
            if (std::strcmp(name, option) == 0)
                return true;
    }
    return false;
}
