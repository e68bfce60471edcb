// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The port a running virtual board (zerbo-board) publishes for ZERBO.
namespace BoardLink {
// Where zerbo-board publishes it by default: $XDG_RUNTIME_DIR/zerbo-board,
// or /tmp/zerbo-board-<uid> where there is no runtime directory.
QString defaultPath();

// The pseudo-terminal behind link while a zerbo-board that runs holds it;
// empty for no link, and for one left by a board that ended: its terminal
// gone, or its number since given to another terminal (a program's, or
// another board's: the terminal is younger than the link).
QString runningDevice(const QString& link);
} // namespace BoardLink
