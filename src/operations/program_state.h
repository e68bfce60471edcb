// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The state that really passes between handlers. Loop counters and scratch
// values belong to the operation that uses them, so a handler running nested
// inside another never moves the outer one's position.
struct ProgramState {
    qint16 StopSending = 0;     // 1 asks the continuous send to stop
    qint16 BackgroundShown = 0; // 1 while the background window is shown
    qint16 HelpShown = 0;       // 1 while the help window is shown
    qint16 PositionEditing = 0; // 1 while txtLeft or txtTop has the focus
};
