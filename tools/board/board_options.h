// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

struct Options {
    bool headless = false;
    bool timestamps = false;
    bool keyFromStdin = false;
    bool echo = false;
    int sendTableAfterMs = -1; // -1: only when Key 1 is pressed
    int pauseMs = 0;
    QString linkPath;
    QString firmwarePath;
    QString mcu = QStringLiteral("atmega8");
    QString bootloaderPath;
    bool logLeds = false;

    // A simulated chip runs, not the scripted board.
    bool runsChip() const { return !firmwarePath.isEmpty() || !bootloaderPath.isEmpty(); }
};

// Exits with status 2 and a message on a bad value.
Options parse(const QStringList& arguments);

// Lines on standard output, flushed at once so a script reading them never
// waits: "port PATH", "rx CODE" per received byte, "table sent".
void say(const QString& line);
void keepStandardOutputForBoardLines();

// "rx CODE", or "rx CODE SECONDS" with the arrival time on CLOCK_MONOTONIC, so
// that a reader can time the bytes as the board saw them, not as it read the log.
QString receivedLine(unsigned char byte, bool timestamps);
