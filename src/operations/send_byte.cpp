// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/send_byte.h"

#include "serial/comm_control.h"

#include <QByteArray>

void sendByte(CommControl& port, int code) {
    port.Output(QByteArray(1, static_cast<char>(code)));
}
