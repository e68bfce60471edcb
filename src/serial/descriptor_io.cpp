// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/descriptor_io.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
// Waits until fd takes more output; false when the deadline passes first.
bool waitWritable(int fd, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd request{fd, POLLOUT, 0};
        const int ready = ::poll(&request, 1, int(deadline.remainingTime()));
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}
} // namespace

int DescriptorIo::writeAllAndDrain(int fd, const QByteArray& bytes, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put > 0) {
            done += put;
        } else if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return errno;
        } else if (put < 0 && errno != EINTR && !waitWritable(fd, deadline)) {
            return ETIMEDOUT;
        }
    }
    while (::tcdrain(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}
