// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <termios.h>

class QSerialPort;

// The one line the board speaks: 38400 baud, 8 data bits, no parity, one
// stop bit (8N1), no flow control.
namespace BoardLine {
constexpr qint32 Baud = 38400;
// The same rate as termios names it, for a line set up without QSerialPort.
constexpr speed_t TermiosSpeed = B38400;
// A byte on the line: a start bit, 8 data bits, a stop bit.
constexpr int BitsPerByte = 10;

// "38400 baud, 8N1", as reports name the line.
QString description();

// Records the line on a closed port for its next open().
void record(QSerialPort& port);
} // namespace BoardLine
