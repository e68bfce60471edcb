// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_pair.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

PtyPair::PtyPair() {
    if (!openRawPty(pty_))
        throw std::runtime_error("openpty failed");
}

PtyPair::~PtyPair() {
    ::close(pty_.slave);
    closeMaster();
}

void PtyPair::closeMaster() {
    if (pty_.master >= 0)
        ::close(pty_.master);
    pty_.master = -1;
}

void PtyPair::write(const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(pty_.master, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("write to pty master failed");
        done += std::max<ssize_t>(n, 0);
        pollfd p{pty_.master, POLLOUT, 0};
        ::poll(&p, 1, 100); // until the line has room again
    }
}

// Stops once n bytes came, timeoutMs passed, or quietMs went by without a
// byte after the first.
static QByteArray readFrom(int fd, qsizetype n, int timeoutMs, int quietMs) {
    QByteArray got;
    const QDeadlineTimer deadline(timeoutMs);
    while (got.size() < n && !deadline.hasExpired()) {
        const qint64 left = deadline.remainingTime();
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(got.isEmpty() ? left : std::min<qint64>(left, quietMs))) <= 0)
            break;
        char buf[4096];
        const ssize_t r = ::read(fd, buf, std::min<qsizetype>(sizeof buf, n - got.size()));
        if (r <= 0)
            break;
        got.append(buf, r);
    }
    return got;
}

QByteArray PtyPair::read(int timeoutMs, int quietMs) {
    return readFrom(pty_.master, std::numeric_limits<qsizetype>::max(), timeoutMs, quietMs);
}

QByteArray PtyPair::readExactly(int n, int timeoutMs) {
    return readFrom(pty_.master, n, timeoutMs, timeoutMs);
}
