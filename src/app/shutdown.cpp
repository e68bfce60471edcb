// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shutdown.h"

#include "serial/comm_control.h"

#include <cstdio>
#include <cstdlib>

void Shutdown::endProgram(int exitCode, CommControl* port) {
    if (port) {
        try {
            port->closePort();
        } catch (...) {
            // The program ends either way; a port that cannot be closed is closed by the OS.
        }
    }
    std::fflush(stdout);
    std::fflush(stderr);
    // Leaving through _Exit skips the stack of nested handlers entirely, so no
    // interrupted operation can run another step.
    std::_Exit(exitCode);
}
