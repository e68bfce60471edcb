// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "serial/device_identity.h"
#include "serial/port_lock.h"

#include <optional>

class QSerialPort;

// The serial port component of the main window (comTest), always COM1 on the
// board's line (BoardLine: 38400 8N1). Every failure throws RuntimeError with
// an ErrorNumber and a description naming the device.
//
// Bytes pass unchanged both ways: raw mode, no flow control, no translation.
// QSerialPort alone reads the device, whenever events run; Input() hands out
// what it has read. Output() writes the descriptor itself and returns only when
// its bytes are on the line; closing never drops bytes already written. The
// modem lines are left alone: nothing sets DTR or RTS, and opening clears
// HUPCL, so that no close drops them; the line stays set after the close.
class CommControl : public QObject {
    Q_OBJECT

public:
    // com1Device is the device that stands for COM1 (e.g. /dev/ttyS0).
    explicit CommControl(const QString& com1Device, QObject* parent = nullptr);
    ~CommControl() override;

    // The open sequence of every caller: closes the port if open, then opens
    // COM1 on the board's line.
    void openSequence();
    // Closes if open.
    void closePort();
    bool PortOpen() const;

    // The received bytes read so far, removed from the input. Never blocks;
    // empty when none wait. Error 8012 when closed, 8016 once the device is lost.
    QByteArray Input();
    // Forgets every byte received so far, also those the driver still holds.
    void discardInput();

    // Sends the bytes; they are on the line when this returns. Error 8012 when closed.
    void Output(const QByteArray& bytes);

    // The device that stands for COM1.
    QString devicePath() const { return com1Device_; }

    // Why the device went away while it was open ("Input/output error"), until
    // the next open; empty when it was closed by the program or never went away.
    QString lossReason() const { return lossReason_; }

    // Set when, since the last open, a read found none of the bytes the
    // device had announced while the device stayed: "another program may be
    // reading the port: PID 12 (cat)". Empty otherwise.
    QString otherReaders() const { return otherReaders_; }
    // Who else has the device open now, as otherReaders() words it; empty when
    // nobody does. For bytes missing without an empty read to show it: a reader
    // that took them all before ours woke leaves none.
    QString openedElsewhere() const;

signals:
    void portOpenChanged(bool open);
    // The device went away while open; the port is closed.
    void deviceGone();
    // Bytes went to another reader of the device (otherReaders() says who); once an open.
    void inputTakenElsewhere();

private:
    void openDevice();  // no signal
    void closeDevice(); // drains, then closes; no signal
    void requireOpen() const;
    // The device went away (unplugged, the other end of a pseudo-terminal
    // closed): close at once, so that its dead descriptor does not keep
    // waking the event loop.
    void deviceLost(const QString& reason);
    // A read came back empty or failed: lost, unless the device is still there.
    void readFailed();
    bool stillThere() const;

    QString com1Device_;
    QString lossReason_;
    QString otherReaders_;
    std::optional<DeviceIdentity> opened_; // the device COM1 led to at the first open
    QSerialPort* port_;
    PortLock lock_;     // held while port_ is open
    bool lost_ = false; // closed by a hang-up, not by a caller
};
