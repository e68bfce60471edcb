// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/loopback.h"

#include "base/yield.h"
#include "serial/comm_control.h"
#include "serial/comm_errors.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cerrno>

namespace {
// How long to wait now for the next byte, or 0 when the exchange is over.
qint64 waitLimit(const Loopback::Echo& echo, qsizetype expected, qint64 now) {
    const qsizetype got = echo.received.size();
    const qint64 end = got == 0         ? Loopback::NothingBackMs
                       : got < expected ? echo.elapsedMs + Loopback::QuietMs
                                        : echo.elapsedMs + Loopback::ExtraMs;
    return std::max<qint64>(0, std::min<qint64>(end, Loopback::LongestMs) - now);
}
} // namespace

Loopback::Echo Loopback::exchange(const QString& device, const QByteArray& bytes) {
    // The window's port, its reads and its close: DTR, RTS and the board's
    // line stay afterwards, HUPCL off, exactly as after the window's own close.
    CommControl port(device);
    port.openSequence();
    port.discardInput(); // only what this test sends may come back

    Echo echo{{}, 0, false, {}};
    QElapsedTimer clock;
    clock.start();
    QTimer deadline;
    deadline.setSingleShot(true);
    try {
        port.Output(bytes);
        for (;;) {
            const qint64 limit = waitLimit(echo, bytes.size(), clock.elapsed());
            echo.endless = echo.received.size() >= MostBytes || clock.elapsed() >= LongestMs;
            if (limit == 0 || echo.endless)
                break;
            if (const QByteArray back = port.Input(); !back.isEmpty()) {
                echo.received += back;
                echo.elapsedMs = clock.elapsed();
                continue;
            }
            deadline.start(int(limit));
            waitForEvents(); // a byte read, the hang-up, or the deadline
        }
    } catch (const RuntimeError& error) {
        // Whatever failed, the device went away during the test: reported as
        // a failed send, as the manual has it.
        if (error.number() != ErrorNumber::ReadFailed)
            throw;
        throw CommErrors::writeFailed(device, EIO);
    }
    if (echo.received.isEmpty())
        echo.elapsedMs = clock.elapsed();
    echo.otherReaders = port.otherReaders();
    if (echo.otherReaders.isEmpty() && echo.received.size() < bytes.size())
        echo.otherReaders = port.openedElsewhere();
    return echo;
}
