// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "serial/line_settings.h"

class QSerialPort;

// The serial port component of the main window (comTest). Its properties are
// those the operations use; every failure throws RuntimeError with one of the
// CommErrorNumber values and a description naming the device.
//
// Bytes pass unchanged both ways: raw mode, no flow control, no translation.
// Output() returns only when its bytes are on the line; closing never drops
// bytes already written. The modem lines are left alone: nothing sets DTR or
// RTS, and opening clears HUPCL, so that no close drops them; the settings of
// the open stay on the device after the close.
class CommControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint16 CommPort READ CommPort WRITE setCommPort)
    Q_PROPERTY(QString Settings READ Settings WRITE setSettings)
    Q_PROPERTY(qint16 InputLen READ InputLen WRITE setInputLen)
    Q_PROPERTY(bool PortOpen READ PortOpen WRITE setPortOpen NOTIFY portOpenChanged)

public:
    // com1Device is the device that stands for COM1 (e.g. /dev/ttyS0);
    // COM n for n > 1 is /dev/ttyS(n-1).
    explicit CommControl(const QString& com1Device, QObject* parent = nullptr);
    ~CommControl() override;

    qint16 CommPort() const { return commPort_; }
    void setCommPort(qint16 number); // 1..16, else error 380

    QString Settings() const { return settings_; }
    void setSettings(const QString& settings); // "baud,parity,data,stop", else error 380

    qint16 InputLen() const { return inputLen_; }
    void setInputLen(qint16 length); // 0 = all waiting; negative is error 380

    bool PortOpen() const;
    void setPortOpen(bool open);

    // The waiting received bytes, at most InputLen (0: all), removed from the
    // input. Never blocks; empty when none wait. Error 8012 when closed.
    QByteArray Input();

    // Sends the bytes; they are on the line when this returns. Error 8012 when closed.
    void Output(const QByteArray& bytes);

    // The fixed open sequence: close if open, COM1, "38400,N,8,1", the input length, open.
    void openSequence(qint16 inputLength);
    // Close if open.
    void closePort();

    // The device path of the current CommPort.
    QString devicePath() const;

    // The open descriptor, for I/O that cannot wait for the event loop (the
    // cable test); -1 when closed. Closing stays with this class.
    int descriptor() const;

    // Why the device went away while it was open ("Input/output error"), until
    // the next open; empty when it was closed by the program or never went away.
    QString lossReason() const { return lossReason_; }

signals:
    void portOpenChanged(bool open);

private:
    void openPort();
    void openDevice(); // opens with the current settings; no signal
    void reopenDevice();
    void closeDevice(); // drains, then closes; no signal
    void requireOpen() const;
    // The device went away (unplugged, the other end of a pseudo-terminal
    // closed): close at once, so that its dead descriptor does not keep
    // waking the event loop.
    void deviceLost(const QString& reason);

    QString com1Device_;
    qint16 commPort_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    LineSettings line_;
    qint16 inputLen_ = 0;
    QString lossReason_;
    QSerialPort* port_;
};
