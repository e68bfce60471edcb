// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/comm_control.h"

#include "serial/comm_errors.h"
#include "serial/descriptor_io.h"

#include <QSerialPort>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr qint16 highestCommPort = 16;

// Enough for the bytes at the slowest sensible rate, plus a margin for a busy
// driver; a device that takes nothing for this long is gone.
int writeTimeoutMs(qsizetype byteCount, qint32 baud) {
    const qint64 lineMs = qint64(byteCount) * 11 * 1000 / std::max<qint32>(baud, 1);
    return int(std::min<qint64>(lineMs + 2000, std::numeric_limits<int>::max()));
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
    : QObject(parent), com1Device_(com1Device), line_(*parseLineSettings(settings_)),
      port_(new QSerialPort(this)) {
    // QSerialPort reports a hang-up as a failed read from its own reader.
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
            deviceLost(QStringLiteral("the line hung up")); // errorString() is stale here
    });
}

CommControl::~CommControl() {
    closeDevice();
}

void CommControl::setCommPort(qint16 number) {
    if (number < 1 || number > highestCommPort)
        throw CommErrors::invalidCommPort(number);
    if (number == commPort_)
        return;
    const bool wasOpen = PortOpen();
    closePort();
    commPort_ = number;
    if (wasOpen)
        openPort();
}

void CommControl::setSettings(const QString& settings) {
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed)
        throw CommErrors::invalidSettings(settings);
    line_ = *parsed;
    settings_ = settings;
    if (PortOpen())
        reopenDevice();
}

void CommControl::setInputLen(qint16 length) {
    if (length < 0)
        throw CommErrors::invalidInputLen(length);
    inputLen_ = length;
}

bool CommControl::PortOpen() const {
    return port_->isOpen();
}

void CommControl::setPortOpen(bool open) {
    if (open && !PortOpen())
        openPort();
    else if (!open)
        closePort();
}

QByteArray CommControl::Input() {
    requireOpen();
    const qsizetype limit = inputLen_ > 0 ? inputLen_ : std::numeric_limits<qsizetype>::max();
    // What QSerialPort already fetched while events ran is older than what the
    // kernel still holds, so it comes first.
    QByteArray bytes = port_->read(std::min<qint64>(limit, port_->bytesAvailable()));
    if (const int error = DescriptorIo::readWaiting(int(port_->handle()), bytes, limit)) {
        deviceLost(QString::fromLocal8Bit(std::strerror(error)));
        throw CommErrors::readFailed(devicePath(), commPort_, error);
    }
    return bytes;
}

void CommControl::Output(const QByteArray& bytes) {
    requireOpen();
    const int timeoutMs = writeTimeoutMs(bytes.size(), line_.baud);
    if (const int error = DescriptorIo::writeAllAndDrain(int(port_->handle()), bytes, timeoutMs)) {
        deviceLost(QString::fromLocal8Bit(std::strerror(error))); // no dead descriptor spinning
        throw CommErrors::writeFailed(devicePath(), commPort_, error);
    }
}

void CommControl::openSequence(qint16 inputLength) {
    closePort();
    setCommPort(1);
    setSettings(QStringLiteral("38400,N,8,1"));
    setInputLen(inputLength);
    openPort();
}

void CommControl::closePort() {
    if (!PortOpen())
        return;
    closeDevice();
    emit portOpenChanged(false);
}

QString CommControl::devicePath() const {
    if (commPort_ == 1)
        return com1Device_;
    return QStringLiteral("/dev/ttyS%1").arg(commPort_ - 1);
}

int CommControl::descriptor() const {
    return PortOpen() ? int(port_->handle()) : -1;
}

void CommControl::openPort() {
    openDevice();
    emit portOpenChanged(true);
}

void CommControl::openDevice() {
    lossReason_.clear();
    port_->setPortName(devicePath());
    recordLineSettings(*port_, line_);
    if (!port_->open(QIODevice::ReadWrite))
        throw CommErrors::openFailed(devicePath(), commPort_, port_->error(), port_->errorString());
    clearHangUpOnClose(int(port_->handle()));
}

// New settings go on through a fresh open: QSerialPort's setters read the line
// back and call a pseudo-terminal's fixed 8 data bits without parity a failure,
// while open() simply applies them.
void CommControl::reopenDevice() {
    closeDevice();
    try {
        openDevice();
    } catch (const RuntimeError&) {
        emit portOpenChanged(false);
        throw;
    }
}

void CommControl::closeDevice() {
    if (!port_->isOpen())
        return;
    // Output() already waited for its bytes; this also covers a close that
    // follows a failed or interrupted write.
    ::tcdrain(int(port_->handle()));
    closeKeepingLine(*port_);
}

void CommControl::deviceLost(const QString& reason) {
    if (!port_->isOpen())
        return;
    lossReason_ = reason.isEmpty() ? QStringLiteral("the device went away") : reason;
    closeKeepingLine(*port_);
    emit portOpenChanged(false);
}

void CommControl::requireOpen() const {
    if (!PortOpen())
        throw CommErrors::notOpen(devicePath(), commPort_);
}
