// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QObject;

// Each line "key1" on standard input presses Key 1, so that a script decides
// when the table goes out. Other lines are ignored; at the end of the input
// the board stops listening.
void pressKeyOneOnStdinLines(QObject* owner, std::function<void()> press);
