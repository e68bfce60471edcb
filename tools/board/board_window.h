// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class KeyOne;
class LedRow;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class VirtualLine;

// The virtual board on screen: its LEDs show the byte received last, Key 1
// sends the table at the chosen pace, and a log lists every received byte.
class BoardWindow : public QWidget {
    Q_OBJECT
public:
    BoardWindow(VirtualLine& line, KeyOne& key, QWidget* parent = nullptr);

    LedRow* leds;
    QPushButton* keyOne;
    QSpinBox* pause;
    QPlainTextEdit* log;

private:
    void showReceived(unsigned char byte);
};
