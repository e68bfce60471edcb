// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommControl;

// Puts one byte (0..255) on the line.
void sendByte(CommControl& port, int code);
