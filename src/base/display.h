// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a window system is there to connect to, told from the environment
// (QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY) and a -platform argument before
// any application object is made: Qt aborts the program when it finds none.
bool hasDisplay(int argc, char* argv[]);
