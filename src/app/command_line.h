// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for.
struct CommandLine {
    // --port DEVICE, else the environment variable ZERBO_PORT; empty when
    // neither names a device, and COM1 is then found (app/com1_device.h).
    QString namedDevice;
    bool namedByEnvironment = false; // the device came from ZERBO_PORT
    bool listPorts = false;          // --list-ports
    bool loopbackTest = false;       // --loopback-test
};

// --help, --version and unknown options print their text and end the program.
CommandLine parseCommandLine(const QStringList& arguments);

// What prints and ends (--list-ports, --loopback-test, --help, --version) needs
// no window system, so it is told apart before the application object is
// made: it then works from a console without a display.
bool asksForConsoleTask(int argc, char* argv[]);
