// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// The real zerbo-board running a firmware image on the simulated ATmega8,
// headless, key 1 pressed from standard input, its port in a directory of
// its own. Collects its "rx CODE" and "led CODE SECONDS" lines.
struct FirmwareBoard {
    struct Led {
        int code;
        double seconds; // simulated time
    };

    explicit FirmwareBoard(const QString& image = QStringLiteral("zerbo-board.hex"));
    ~FirmwareBoard();

    QString link() const { return dir.filePath(QStringLiteral("board")); }
    void press();
    // Reads the lines that have come; waits up to boundMs until enough holds.
    bool readUntil(const std::function<bool()>& enough, int boundMs = 10000);
    // Reads for ms milliseconds, then forgets all read so far.
    void settle(int ms);

    QTemporaryDir dir;
    QProcess process;
    QStringList lines;
    QList<int> rx;
    QList<Led> leds;
};
