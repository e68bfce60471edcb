// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The virtual board (zerbo-board) started from the program, for a user with
// no serial port at all.

// zerbo-board installed beside this program (or in the build tree's tools/);
// empty when there is none.
QString virtualBoardProgram();

// Starts the board with a link of this program's own and returns the port it
// publishes. The board ends with this program. Nothing when it did not start
// (standard error says why).
std::optional<QString> startVirtualBoard(const QString& program);
