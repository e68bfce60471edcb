// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lets the window handle what is queued (clicks, keys, repaints) before the
// running operation goes on; their handlers run nested, here.
void yieldToEvents();

// Blocks until at least one event has arrived (a byte on the port, a click,
// a timer) and handles it. Used where an operation waits for the board or the
// user, so that waiting costs no CPU.
void waitForEvents();
