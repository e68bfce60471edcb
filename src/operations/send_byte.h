// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommControl;

// Every send opens the port with this input length.
constexpr short SendInputLength = 8;

// Puts one byte (0..255) on the line.
void sendByte(CommControl& port, int code);
