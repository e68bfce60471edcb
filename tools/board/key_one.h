// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/line_settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class VirtualLine;

// Key 1 of the board: sends the codes 0 to 255 in ascending order. Each byte
// goes out when its time on the clock has come, so the pace holds however
// late a timer fires: back to back as at 38400 baud (10 bits a byte, 0.26 ms),
// or with a pause of whole milliseconds between bytes.
class KeyOne : public QObject {
    Q_OBJECT
public:
    explicit KeyOne(VirtualLine& line, QObject* parent = nullptr);

    // 0: back to back at the line's rate.
    void setPauseMs(int ms) { pauseMs_ = ms; }

    // A press while the table goes out starts it again from code 0.
    void press();

    static constexpr int CodeCount = 256;
    static constexpr qint64 LineByteNs = BoardLine::BitsPerByte * 1000000000LL / BoardLine::Baud;

signals:
    // lost: the line's buffer was full (nobody has read it for long).
    void sent(unsigned char code, bool lost);
    void finished();

private:
    void sendDue();
    qint64 dueNs(int index) const;

    VirtualLine& line_;
    QTimer timer_;
    QElapsedTimer clock_;
    int pauseMs_ = 0;
    int next_ = CodeCount;
};
