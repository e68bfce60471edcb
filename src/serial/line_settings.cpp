// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/line_settings.h"

#include <QSerialPort>

QString BoardLine::description() {
    return QStringLiteral("%1 baud, 8N1").arg(Baud);
}

void BoardLine::record(QSerialPort& port) {
    port.setBaudRate(Baud);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}
