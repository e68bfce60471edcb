// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGTERM and SIGINT end the event loop, so the board leaves through its
// destructors and removes its published link.
void quitOnTerminationSignals();
