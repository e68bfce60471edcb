// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The state that really passes between handlers. Loop counters and scratch
// values belong to the operation that uses them, so a handler running nested
// inside another never moves the outer one's position; a flag that only one
// class reads (whether help or the backdrop is shown) is that class's own.
struct ProgramState {
    qint16 StopSending = 0;     // 1 asks the continuous send to stop
    qint16 PositionEditing = 0; // 1 while txtLeft or txtTop has the focus
};
