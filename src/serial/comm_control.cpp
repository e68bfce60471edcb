// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/comm_control.h"

#include "base/log_categories.h"
#include "serial/comm_errors.h"
#include "serial/descriptor_io.h"
#include "serial/line_settings.h"
#include "serial/port_holder.h"

#include <QSerialPort>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
// Enough for the bytes at the board's rate, plus a margin for a busy driver;
// a device that takes nothing for this long is gone.
int writeTimeoutMs(qsizetype byteCount) {
    const qint64 lineMs = qint64(byteCount) * 11 * 1000 / BoardLine::Baud;
    return int(std::min<qint64>(lineMs + 2000, std::numeric_limits<int>::max()));
}

// "another program may be reading the port: PID 12 (cat)", or without the
// names where /proc shows none (another user's, seen without root).
QString readerNote(const QStringList& readers) {
    const QString note = QStringLiteral("another program may be reading the port");
    return readers.isEmpty() ? note : note + QStringLiteral(": ") + readers.join(", ");
}

// Without HUPCL the kernel leaves DTR and RTS as they are at the last close: a
// board that resets on DTR must not restart at every send, each of which
// closes and reopens the port.
void clearHangUpOnClose(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0 || !(line.c_cflag & HUPCL))
        return;
    line.c_cflag &= ~tcflag_t(HUPCL);
    ::tcsetattr(fd, TCSANOW, &line);
}

// QSerialPort puts back at close the settings it found at open, HUPCL
// included, and the kernel would then drop DTR and RTS. A second descriptor
// keeps the device open through that close, puts this program's settings back
// and makes the last close, without HUPCL.
void closeKeepingLine(QSerialPort& port) {
    const int fd = int(port.handle());
    termios line{};
    const bool known = ::tcgetattr(fd, &line) == 0;
    const int held = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    port.close();
    if (held < 0)
        return;
    if (known)
        ::tcsetattr(held, TCSANOW, &line);
    ::close(held);
}
} // namespace

CommControl::CommControl(const QString& com1Device, QObject* parent)
    : QObject(parent), com1Device_(com1Device), port_(new QSerialPort(this)) {
    // QSerialPort reports a hang-up as a failed read from its own reader, and
    // so too a read that another program beat to the bytes.
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
            readFailed();
    });
}

CommControl::~CommControl() {
    closeDevice();
}

bool CommControl::PortOpen() const {
    return port_->isOpen();
}

QByteArray CommControl::Input() {
    if (lost_) // the hang-up closed it in a yield: say so, not "not open"
        throw CommErrors::readFailed(devicePath(), EIO);
    requireOpen();
    return port_->readAll();
}

void CommControl::discardInput() {
    requireOpen();
    port_->clear(QSerialPort::Input);
}

void CommControl::Output(const QByteArray& bytes) {
    if (lost_)
        throw CommErrors::writeFailed(devicePath(), EIO);
    requireOpen();
    const int timeoutMs = writeTimeoutMs(bytes.size());
    if (const int error = DescriptorIo::writeAllAndDrain(int(port_->handle()), bytes, timeoutMs)) {
        deviceLost(QString::fromLocal8Bit(std::strerror(error))); // no dead descriptor spinning
        throw CommErrors::writeFailed(devicePath(), error);
    }
}

void CommControl::openSequence() {
    closePort();
    lost_ = false;
    openDevice();
    emit portOpenChanged(true);
}

void CommControl::closePort() {
    lost_ = false;
    if (!PortOpen())
        return;
    closeDevice();
    emit portOpenChanged(false);
}

void CommControl::openDevice() {
    lossReason_.clear();
    otherReaders_.clear();
    // Opened by its real name, so that every path to it shares one lock.
    const QString device = PortLock::realDevice(devicePath());
    // Every open after the first checks the name still leads to that device:
    // nothing is set or written on another one that took its place.
    const auto identity = DeviceIdentity::of(device);
    if (opened_ && identity && *identity != *opened_) {
        qCDebug(zerboSerial, "%s (COM1) now leads to another device, %s: not opened",
                qPrintable(devicePath()), qPrintable(device));
        throw CommErrors::replaced(devicePath(), device);
    }
    lock_.acquire(device, devicePath());
    port_->setPortName(device);
    BoardLine::record(*port_);
    if (!port_->open(QIODevice::ReadWrite)) {
        lock_.release();
        throw CommErrors::openFailed(devicePath(), port_->error(), port_->errorString());
    }
    clearHangUpOnClose(int(port_->handle()));
    if (!opened_)
        opened_ = identity;
}

void CommControl::closeDevice() {
    if (!port_->isOpen())
        return;
    // Output() already waited for its bytes; this also covers a close that
    // follows a failed or interrupted write.
    ::tcdrain(int(port_->handle()));
    closeKeepingLine(*port_);
    lock_.release();
}

void CommControl::deviceLost(const QString& reason) {
    if (!port_->isOpen())
        return;
    lost_ = true;
    lossReason_ = reason.isEmpty() ? QStringLiteral("the device went away") : reason;
    qCDebug(zerboSerial, "%s (COM1) lost: %s; the port is closed", qPrintable(devicePath()),
            qPrintable(lossReason_));
    closeKeepingLine(*port_);
    lock_.release();
    emit portOpenChanged(false);
    emit deviceGone();
}

void CommControl::readFailed() {
    if (!stillThere()) {
        deviceLost(QStringLiteral("the line hung up")); // errorString() is stale here
        return;
    }
    // Another reader took the bytes: the port stays, and the next read
    // listens again. Said once an open, with who may be reading.
    port_->clearError();
    if (!otherReaders_.isEmpty())
        return;
    const QStringList readers = PortHolder::otherReaders(PortLock::realDevice(devicePath()));
    otherReaders_ = readerNote(readers);
    qCDebug(zerboSerial, "%s (COM1): a read found none of the bytes announced; %s",
            qPrintable(devicePath()), qPrintable(otherReaders_));
    emit inputTakenElsewhere();
}

QString CommControl::openedElsewhere() const {
    const QStringList readers = PortHolder::otherReaders(PortLock::realDevice(devicePath()));
    return readers.isEmpty() ? QString() : readerNote(readers);
}

// A hang-up or an unplugged adapter shows in poll() as HUP or ERR.
bool CommControl::stillThere() const {
    if (!port_->isOpen())
        return false;
    pollfd state{int(port_->handle()), POLLIN, 0};
    return ::poll(&state, 1, 0) >= 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

void CommControl::requireOpen() const {
    if (!PortOpen())
        throw CommErrors::notOpen(devicePath());
}
