// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/paced_send.h"

#include "operations/send_byte.h"
#include "serial/comm_control.h"

void PacedSend::send(int code) {
    if (reopen_ == Reopen::IfClosed && !port_.PortOpen())
        port_.openSequence();
    sendByte(port_, code);
    pacer_.sent();
}
