// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommControl;

// Ending the program at once, from any depth of nested handlers: the serial
// port is closed (bytes already written still leave), every window goes, and
// nothing of the interrupted handlers runs on.
namespace Shutdown {
// port: the program's port, closed on the way out; null before there is one.
[[noreturn]] void endProgram(int exitCode, CommControl* port);
} // namespace Shutdown
