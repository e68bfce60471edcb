// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual_line.h"

#include "raw_pty.h"
#include "serial/board_link.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
std::runtime_error failure(const QString& what) {
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    return std::runtime_error(QStringLiteral("%1: %2").arg(what, reason).toStdString());
}
} // namespace

VirtualLine::VirtualLine(const QString& linkPath, bool holdOtherEnd, QObject* parent)
    : QObject(parent), linkPath_(linkPath) {
    RawPty pty;
    if (!openRawPty(pty))
        throw failure(QStringLiteral("cannot open a pseudo-terminal (is /dev/pts mounted?)"));
    master_ = pty.master;
    slave_ = pty.slave;
    devicePath_ = pty.slavePath;
    if (!holdOtherEnd) {
        ::close(slave_);
        slave_ = -1;
        hangUpRetryMs_ = 2; // no one holds the port between the program's opens
    }
    closeWatch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (closeWatch_ < 0)
        throw failure(QStringLiteral("cannot watch %1 for closes").arg(devicePath_));
    watchDevice();
    // At once, so that little time is left for a quick reopen to read them.
    auto* closes = new QSocketNotifier(closeWatch_, QSocketNotifier::Read, this);
    connect(closes, &QSocketNotifier::activated, this, &VirtualLine::programClosed);
    publish();

    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &VirtualLine::readWaiting);
}

VirtualLine::~VirtualLine() {
    unpublish();
    if (slave_ >= 0)
        ::close(slave_);
    if (closeWatch_ >= 0)
        ::close(closeWatch_);
    ::close(master_);
}

void VirtualLine::programClosed() {
    if (slave_ < 0)
        dropWhatACloseLeft();
    else
        forgetExclusiveUse();
}

// A real port forgets that it was opened exclusively at its last close. This
// end stays open in the board, so a program killed while it held the port
// exclusively (its close never cleared that) would shut every later opener
// out until the board ended. Cleared only when no one else has it open.
void VirtualLine::forgetExclusiveUse() {
    alignas(inotify_event) char events[1024]; // only the wake-up here
    while (::read(closeWatch_, events, sizeof events) > 0) {
    }
    int exclusive = 0;
    if (::ioctl(slave_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0 || othersHoldDevice())
        return;
    ::ioctl(slave_, TIOCNXCL);
}

bool VirtualLine::othersHoldDevice() const {
    const QString self = QString::number(::getpid());
    const QDir processes(QStringLiteral("/proc"));
    for (const QString& pid : processes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString& fd : descriptors.entryList(QDir::Files | QDir::System))
            if (QFile::symLinkTarget(descriptors.filePath(fd)) == devicePath_)
                return true;
    }
    return false;
}

void VirtualLine::dropWhatACloseLeft() {
    if (slave_ >= 0) // the board holds the end: what waits there stays, as before the close
        return;
    alignas(inotify_event) char events[1024];
    int closes = 0;
    for (ssize_t n; (n = ::read(closeWatch_, events, sizeof events)) > 0;)
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if ((event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) != 0)
                ++closes;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    const int own = std::min(closes, ownCloses_);
    ownCloses_ -= own;
    if (closes <= own)
        return;
    termios tio{};
    if (::tcgetattr(master_, &tio) == 0 && (tio.c_cflag & HUPCL) != 0)
        dtrUp_ = false;
    dropStale();
}

bool VirtualLine::takeDtrRise() {
    dropWhatACloseLeft();
    if (dtrUp_ || !programHoldsPort())
        return false;
    dtrUp_ = true;
    return true;
}

void VirtualLine::setHangUpOnClose() {
    termios tio{};
    ::tcgetattr(master_, &tio);
    tio.c_cflag |= HUPCL;
    ::tcsetattr(master_, TCSANOW, &tio);
}

bool VirtualLine::programHoldsPort() const {
    pollfd poller{master_, POLLIN, 0};
    return ::poll(&poller, 1, 0) >= 0 && (poller.revents & POLLHUP) == 0;
}

int VirtualLine::programBaud() const {
    termios tio{};
    if (::tcgetattr(master_, &tio) != 0)
        return 0;
    static const struct {
        speed_t code;
        int baud;
    } rates[] = {{B1200, 1200},     {B2400, 2400},     {B4800, 4800},   {B9600, 9600},
                 {B19200, 19200},   {B38400, 38400},   {B57600, 57600}, {B115200, 115200},
                 {B230400, 230400}, {B460800, 460800}, {B300, 300},     {B600, 600}};
    const speed_t code = ::cfgetospeed(&tio);
    for (const auto& rate : rates)
        if (rate.code == code)
            return rate.baud;
    return 0;
}

char VirtualLine::framingErrorHandling() const {
    termios tio{};
    ::tcgetattr(master_, &tio);
    if ((tio.c_iflag & IGNPAR) != 0)
        return 'i';
    return (tio.c_iflag & PARMRK) != 0 ? 'm' : '0';
}

void VirtualLine::watchDevice() {
    watchedDevice_ = ::inotify_add_watch(closeWatch_, devicePath_.toLocal8Bit().constData(),
                                         IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
    if (watchedDevice_ < 0)
        throw failure(QStringLiteral("cannot watch %1 for closes").arg(devicePath_));
}

void VirtualLine::dropStale() {
    const int fd = ::open(devicePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        // Marked exclusive: by a program that holds it, or by one that died.
        if (errno == EBUSY && slave_ < 0 && !othersHoldDevice())
            replaceDevice();
        return;
    }
    // Only what waits to be read at the program's end. Flushing its output
    // too would drop what the program wrote and the board has not read yet:
    // a real port's close sends that first.
    ::tcflush(fd, TCIFLUSH);
    if (slave_ < 0)
        clearStaleExclusive(fd);
    ::close(fd);
    if (slave_ < 0)
        ++ownCloses_;
}

void VirtualLine::clearStaleExclusive(int fd) {
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0 && !othersHoldDevice())
        ::ioctl(fd, TIOCNXCL);
}

// Only root may open a device marked exclusive, and so clear the mark. For
// anyone else the board makes a new pseudo-terminal and moves the link to
// it in one step (a program opening it meanwhile finds one or the other).
void VirtualLine::replaceDevice() {
    RawPty pty;
    if (!openRawPty(pty))
        return;
    ::close(pty.slave);
    const QString old = devicePath_;
    const QByteArray link = QFile::encodeName(linkPath_);
    const QByteArray moving = link + ".new";
    ::unlink(moving.constData());
    if (QFile::symLinkTarget(linkPath_) != old ||
        ::symlink(QFile::encodeName(pty.slavePath).constData(), moving.constData()) != 0 ||
        ::rename(moving.constData(), link.constData()) != 0) {
        ::unlink(moving.constData());
        ::close(pty.master);
        return; // the link is someone else's now, or cannot be moved: the old device stays
    }
    // The port's settings stay, as a real port's do past its last close:
    // HUPCL above all, with which a board in its bootloader resets.
    termios settings{};
    if (::tcgetattr(master_, &settings) == 0)
        ::tcsetattr(pty.master, TCSANOW, &settings);
    ::inotify_rm_watch(closeWatch_, watchedDevice_);
    delete notifier_;
    ::close(master_);
    master_ = pty.master;
    devicePath_ = pty.slavePath;
    ownCloses_ = 0;
    watchDevice();
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &VirtualLine::readWaiting);
    std::fprintf(stderr,
                 "zerbo-board: %s was left marked open exclusively by a program that ended; "
                 "%s now leads to %s\n",
                 qPrintable(old), qPrintable(linkPath_), qPrintable(devicePath_));
    emit deviceReplaced();
}

// Where ZERBO looks for a board that runs: one place says it for both.
QString VirtualLine::defaultLinkPath() {
    return BoardLink::defaultPath();
}

qsizetype VirtualLine::send(const QByteArray& bytes) {
    const ssize_t written = ::write(master_, bytes.constData(), size_t(bytes.size()));
    return written < 0 ? 0 : written;
}

void VirtualLine::readWaiting() {
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i)
                emit received(static_cast<unsigned char>(buffer[i]));
            emit receivedTogether(QByteArray(buffer, int(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO) {
            // A hang-up is not the end of the session: the program may open
            // the port again. Listen again shortly instead of spinning on it.
            notifier_->setEnabled(false);
            QTimer::singleShot(hangUpRetryMs_, notifier_, [this] { notifier_->setEnabled(true); });
        }
        return;
    }
}

// The link is made only where nothing stands: a running board's link, a
// link of the user's or any other file is left as it is and the board
// refuses to start. Only the link of a board that ended without removing it
// (its pseudo-terminal is gone) is replaced.
void VirtualLine::publish() {
    const QByteArray link = QFile::encodeName(linkPath_);
    const QFileInfo existing(linkPath_);
    if (existing.isSymLink()) {
        const QString target = existing.symLinkTarget();
        if (QFileInfo::exists(linkPath_))
            throw std::runtime_error(
                QStringLiteral("%1 is already the port of a board that still runs (it leads "
                               "to %2); end that board, or start this one with --link PATH")
                    .arg(linkPath_, target)
                    .toStdString());
        if (!target.startsWith(QLatin1String("/dev/pts/")))
            throw std::runtime_error(
                QStringLiteral("%1 is a link to %2, which is not a board's port; remove it "
                               "yourself, or start the board with --link PATH")
                    .arg(linkPath_, target)
                    .toStdString());
        std::fprintf(stderr, "zerbo-board: replacing %s, left by a board that has ended\n",
                     link.constData());
        ::unlink(link.constData());
    } else if (existing.exists()) {
        throw std::runtime_error(QStringLiteral("%1 exists and is not a board's port; remove it "
                                                "yourself, or start the board with --link PATH")
                                     .arg(linkPath_)
                                     .toStdString());
    }
    // symlink() makes the link only if nothing stands there, so of two
    // boards starting at once one refuses.
    if (::symlink(QFile::encodeName(devicePath_).constData(), link.constData()) != 0) {
        if (errno == EEXIST)
            throw std::runtime_error(
                QStringLiteral("%1 was taken by another board starting at the same time; "
                               "start this one with --link PATH")
                    .arg(linkPath_)
                    .toStdString());
        throw failure(QStringLiteral("cannot create the link %1").arg(linkPath_));
    }
}

// Only a link that still names this board's device: a board started later
// may have taken the path over.
void VirtualLine::unpublish() {
    if (QFile::symLinkTarget(linkPath_) == devicePath_)
        QFile::remove(linkPath_);
}
