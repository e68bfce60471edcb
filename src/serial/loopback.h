// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The exchange of a cable test: a wire between TxD and RxD sends every byte
// straight back.
namespace Loopback {
// With no byte back by then, nothing is wired (or it is the wrong device).
constexpr int NothingBackMs = 1000;
// Once some came back, the rest is taken as lost after this long without a byte.
constexpr int QuietMs = 250;
// Once all came back, what a doubling echo adds has arrived after this long without a byte.
constexpr int ExtraMs = 50;
// An echo that never stops (a device that sends on its own) ends the test here.
constexpr int LongestMs = 3000;
constexpr qsizetype MostBytes = 1024;

struct Echo {
    QByteArray received;
    qint64 elapsedMs; // from the first byte sent to the last one back; the whole wait if none came
    bool endless;     // the line never fell quiet: cut at LongestMs or MostBytes
    QString otherReaders; // who else may have read bytes meant for this test; empty if none did
};

// Opens device as the window does (the board's line, no flow control), sends
// the bytes and collects what comes back, waiting for events with the
// deadlines above. Throws RuntimeError: the open's errors as the window
// reports them, and 8015 when the device goes away during the test.
Echo exchange(const QString& device, const QByteArray& bytes);
} // namespace Loopback
