// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// A byte as the board received it: its code and when it arrived
// (CLOCK_MONOTONIC, seconds).
struct Arrival {
    int code = 0;
    double seconds = 0;
};

// The real zerbo-board process, headless, publishing its port in a directory
// of its own (so a board the user runs is never touched). It notes the
// arrival time of each byte and presses Key 1 when told to.
class BoardProcess {
public:
    BoardProcess();
    ~BoardProcess();
    BoardProcess(const BoardProcess&) = delete;
    BoardProcess& operator=(const BoardProcess&) = delete;

    bool started() const { return started_; }
    // What the program opens, and the pseudo-terminal it leads to.
    QString link() const { return dir_.filePath(QStringLiteral("board")); }
    QString devicePath() const;

    // The board sends the codes 0 to 255 back to back at the line's rate.
    void pressKeyOne();
    // Ends the board at once: a reception waiting for it ends too.
    void kill() { process_.kill(); }

    // The bytes received since the last call, from the lines read so far.
    std::vector<Arrival> takeArrivals();
    // Waits, without running the event loop, until count bytes have arrived
    // or boundMs has passed, and takes them.
    std::vector<Arrival> waitForArrivals(size_t count, int boundMs);
    bool waitForLine(const QString& wanted, int boundMs);

private:
    void readLines();

    QTemporaryDir dir_;
    QProcess process_;
    QString partial_;
    QStringList lines_;
    bool started_ = false;
};
