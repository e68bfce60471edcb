// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"

// The tasks of the command line that print and end, without a window. Each
// returns the exit status.

// --list-ports: the serial ports present and a virtual board that runs on
// its standard link, one a line, on standard output, each with what is known
// of it and whether it opens now; 0.
int listPorts();

// --loopback-test: the cable test on COM1's device, its report on standard
// output. 0 when every code came back intact, 1 when not, 2 when the port
// cannot be used (its error on standard error, as the window words it).
int loopbackTest(const QString& namedDevice);
