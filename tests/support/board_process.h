// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <vector>

// A byte the board received ("rx CODE SECONDS", with --timestamps) or a
// pattern its LEDs showed ("led CODE SECONDS", with --log-leds): the code and
// when (the board's clock: CLOCK_MONOTONIC, or the simulated chip's).
struct Arrival {
    int code = 0;
    double seconds = 0;
};

// The codes alone.
QList<int> codesOf(const QList<Arrival>& arrivals);

// The options that run the firmware image on the simulated chip, its LEDs logged.
QStringList firmwareOptions(const QString& image);

// The real zerbo-board process, headless, Key 1 pressed from standard input,
// publishing its port in a directory of its own (so a board the user runs is
// never touched), with the options given (--timestamps, --firmware IMAGE,
// ...). It sorts the lines the board prints into rx, leds and lines.
class BoardProcess {
public:
    // asNobody: the board runs as the user nobody, its link in a folder nobody may write.
    explicit BoardProcess(const QStringList& options = {}, bool asNobody = false);
    ~BoardProcess();
    BoardProcess(const BoardProcess&) = delete;
    BoardProcess& operator=(const BoardProcess&) = delete;

    // Whether it published its port.
    bool started() const { return started_; }
    // What the program opens, and the pseudo-terminal it leads to.
    QString link() const { return dir_.filePath(QStringLiteral("board")); }
    QString devicePath() const;
    QProcess& process() { return process_; }

    // The board sends the codes 0 to 255 back to back at the line's rate.
    void pressKeyOne();
    // Ends the board at once: a reception waiting for it ends too.
    void kill() { process_.kill(); }

    // Sorts the lines that have come; waits, without running the event loop,
    // up to boundMs until enough holds.
    bool readUntil(const std::function<bool()>& enough, int boundMs = 10000);
    // Sorts what has come, waiting for nothing.
    void readAvailable();
    // Waits for the line and takes it from lines.
    bool waitForLine(const QString& wanted, int boundMs);
    // Reads for ms milliseconds, then forgets all read so far.
    void settle(int ms);

    // The bytes received since the last call, from the lines read so far.
    std::vector<Arrival> takeArrivals();
    // Waits until count bytes have arrived or boundMs has passed, and takes them.
    std::vector<Arrival> waitForArrivals(size_t count, int boundMs);
    QList<Arrival> rx;
    QList<Arrival> leds;
    QStringList lines; // all other lines
private:
    void sortLines();

    QTemporaryDir dir_;
    QProcess process_;
    bool started_ = false;
};
