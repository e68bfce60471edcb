#include "pty_pair.h"

#include "raw_pty.h"

#include <QElapsedTimer>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    RawPty pty;
    if (!openRawPty(pty))
        throw std::runtime_error("openpty failed");
    master_ = pty.master;
    slave_ = pty.slave;
    slavePath_ = pty.slavePath;
}

PtyPair::~PtyPair() {
    ::close(slave_);
    closeMaster();
}

void PtyPair::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PtyPair::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            throw std::runtime_error("write to pty master failed");
        } else {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
}

QByteArray PtyPair::read(int timeoutMs, int quietMs) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd p{master_, POLLIN, 0};
        const int wait = got.isEmpty() ? int(left) : int(std::min<qint64>(left, quietMs));
        if (::poll(&p, 1, wait) <= 0)
            break;
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, n);
    }
    return got;
}

QByteArray PtyPair::readExactly(int n, int timeoutMs) {
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < n && clock.elapsed() < timeoutMs) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, int(timeoutMs - clock.elapsed())) <= 0)
            break;
        char buf[4096];
        const ssize_t r = ::read(master_, buf, std::min<qsizetype>(sizeof buf, n - got.size()));
        if (r <= 0)
            break;
        got.append(buf, r);
    }
    return got;
}

void PtyPair::drain() {
    char buf[4096];
    while (::read(master_, buf, sizeof buf) > 0) {
    }
}
