// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class LedRow;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class VirtualLine;

// The virtual board on screen: its LEDs, Key 1, the pause between the bytes
// of the table, and a log of every received byte. What drives them (the
// scripted board or the firmware engine) is wired up by main.
class BoardWindow : public QWidget {
    Q_OBJECT
public:
    // engine: which board runs, e.g. "scripted".
    BoardWindow(const VirtualLine& line, const QString& engine, QWidget* parent = nullptr);

    void logReceived(unsigned char byte);

    LedRow* leds() const { return leds_; }
    QPushButton* keyOne() const { return keyOne_; }
    QSpinBox* pause() const { return pause_; }
    QPlainTextEdit* log() const { return log_; }

private:
    LedRow* leds_;
    QPushButton* keyOne_;
    QSpinBox* pause_;
    QPlainTextEdit* log_;
};
