// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a window system is there to connect to, told from the environment
// (QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY) and a -platform argument before
// any application object is made: Qt aborts the program when it finds none.
bool hasDisplay(int argc, char* argv[]);

// A native Wayland client cannot place its windows: the desktop does. Where
// XWayland is there too (DISPLAY beside WAYLAND_DISPLAY) and the user chose
// no platform (QT_QPA_PLATFORM, -platform), this has Qt take X11 through it,
// so that every placement works as on X11. Before the application object.
void preferX11ThroughXWayland(int argc, char* argv[]);

// True where the program runs natively on Wayland, so the desktop places its
// windows wherever it likes; false on X11, offscreen and without a window.
bool desktopPlacesWindows();
