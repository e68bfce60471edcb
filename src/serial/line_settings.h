// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class QSerialPort;

// The line parameters of "baud,parity,data,stop" text such as "38400,N,8,1".
struct LineSettings {
    enum class StopBits { One, OneAndHalf, Two };

    qint32 baud = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;  // 5..8
    StopBits stopBits = StopBits::One;
};

// The settings the text describes, or nothing when it is not valid.
std::optional<LineSettings> parseLineSettings(const QString& text);

// Records the settings, without flow control, on a closed port for its next open().
void recordLineSettings(QSerialPort& port, const LineSettings& settings);
