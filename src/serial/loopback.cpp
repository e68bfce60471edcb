// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/loopback.h"

#include "serial/comm_control.h"
#include "serial/comm_errors.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int Com1 = 1;

// How long to wait now for the next event, or 0 when the exchange is over.
qint64 waitLimit(const Loopback::Echo& echo, qsizetype expected, qint64 now) {
    const qsizetype got = echo.received.size();
    const qint64 end = got == 0         ? Loopback::NothingBackMs
                       : got < expected ? echo.elapsedMs + Loopback::QuietMs
                                        : echo.elapsedMs + Loopback::ExtraMs;
    return std::max<qint64>(0, std::min<qint64>(end, Loopback::LongestMs) - now);
}
} // namespace

Loopback::Echo Loopback::exchange(const QString& device, const QByteArray& bytes) {
    // The window's port and its close: DTR, RTS and 38400 8N1 stay on the
    // line afterwards, HUPCL off, exactly as after the window's own close.
    CommControl port(device);
    port.openSequence(0);
    const int fd = port.descriptor();
    ::tcflush(fd, TCIFLUSH); // only what this test sends may come back

    Echo echo{{}, 0, false};
    qsizetype sent = 0;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 limit = waitLimit(echo, bytes.size(), clock.elapsed());
        echo.endless = echo.received.size() >= MostBytes || clock.elapsed() >= LongestMs;
        if (limit == 0 || echo.endless)
            break;
        pollfd request{fd, short(POLLIN | (sent < bytes.size() ? POLLOUT : 0)), 0};
        const int ready = ::poll(&request, 1, int(limit));
        if (ready < 0 && errno == EINTR)
            continue;
        int failure = ready < 0 ? errno : 0;
        if (request.revents & (POLLHUP | POLLERR | POLLNVAL))
            failure = EIO; // unplugged: the descriptor only says so, again and again
        if (!failure && (request.revents & POLLOUT)) {
            const ssize_t put = ::write(fd, bytes.constData() + sent, size_t(bytes.size() - sent));
            if (put > 0)
                sent += put;
            else if (put < 0 && errno != EAGAIN && errno != EINTR)
                failure = errno;
        }
        if (!failure && (request.revents & POLLIN)) {
            char chunk[512];
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got > 0) {
                echo.received.append(chunk, got);
                echo.elapsedMs = clock.elapsed();
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                failure = errno;
            }
        }
        if (failure)
            throw CommErrors::writeFailed(device, Com1, failure);
    }
    if (echo.received.isEmpty())
        echo.elapsedMs = clock.elapsed();
    return echo;
}
