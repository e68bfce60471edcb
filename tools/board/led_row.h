// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The board's eight LEDs: the bit pattern of one byte, bit 7 on the left.
class LedRow : public QWidget {
    Q_OBJECT
public:
    explicit LedRow(QWidget* parent = nullptr);

    void showByte(unsigned char byte);
    unsigned char byte() const { return byte_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    unsigned char byte_ = 0;
};
