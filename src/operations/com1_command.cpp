// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/com1_command.h"

#include "base/charset.h"
#include "base/log_categories.h"
#include "base/runtime_error.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/slot_style.h"
#include "operations/program_state.h"
#include "serial/comm_control.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>

void Com1Command::cmdCom1_Click() {
    if (form_.optRxD()->isChecked())
        receive();
    else if (form_.optTxD()->isChecked())
        sendReady();
}

void Com1Command::receive() {
    prepareReception();

    // The first read only tells that the board has started: slots 0 and 1
    // get their fixed values, and its codes from 2 on are placed like any other.
    QByteArray bytes;
    if (!readSome(bytes))
        return;
    form_.slot(0).number->setText(threeDigits(0));
    form_.slot(0).character->clear();
    writeSlot(form_, 1);
    yieldToEvents();

    bool firstRead = true;
    for (;;) {
        for (const char byte : bytes) {
            const auto code = static_cast<unsigned char>(byte);
            if (firstRead && code < 2)
                continue;
            if (place(code)) {
                finishReception();
                return;
            }
        }
        firstRead = false;
        if (!readSome(bytes))
            return;
    }
}

void Com1Command::prepareReception() {
    enterState(form_, ControlState::Receiving, SlotButtons::Skip);
    emptyTable(form_, false);
    yieldToEvents();
    state_.StopSending = 0;
    for (int i = 0; i < FrmAscii::SlotCount; ++i) {
        ApplySlotStyle(form_, i, 14);
        emptySlot(form_, i);
    }
    form_.chkN()->setChecked(false);
    form_.chkT()->setChecked(false);
    port_.openSequence();
    const bool open = port_.PortOpen();
    form_.showPortOpen(open);
    form_.enableDisplayOptions(false);
}

bool Com1Command::readSome(QByteArray& bytes) {
    // Any failure from here on ends the reception silently: typically a
    // nested operation closed the port. It is caught here, never in a slot
    // connected to the port, which would stop the port's notifications.
    try {
        for (;;) {
            bytes = port_.Input();
            if (!bytes.isEmpty())
                return true;
            waitForEvents();
        }
    } catch (const RuntimeError& error) {
        qCDebug(zerboSerial, "the reception ended on error %d: %s", error.number(),
                qPrintable(error.description()));
        if (!port_.lossReason().isEmpty())
            deviceVanished();
        return false;
    }
}

// Ending silently here would leave "Port open" checked over a port that is
// gone: the window shows it closed, as after a whole table, and standard
// error says what happened, since no box does.
void Com1Command::deviceVanished() {
    std::fprintf(stderr,
                 "zerbo: %s (COM1) went away during the reception (%s); the reception ended "
                 "and the port is closed\n",
                 qPrintable(port_.devicePath()), qPrintable(port_.lossReason()));
    if (form_.optRxD()->isChecked()) {
        finishReception();
        return;
    }
    // A nested mode switch set up the window for sending: only the port's
    // state is put right.
    form_.showPortOpen(false);
}

bool Com1Command::place(unsigned char code) {
    form_.slot(code).number->setText(threeDigits(code));
    form_.slot(code).character->setText(textFromByte(code));
    yieldToEvents();
    form_.showCodeText(code);
    ShowBitPattern(form_, code);
    return code == 255;
}

void Com1Command::finishReception() {
    port_.closePort();
    form_.enableDisplayOptions(true);
    form_.enableSlotButtons();
    enterState(form_, ControlState::ReadyAfterReception);
}

void Com1Command::sendReady() {
    enterState(form_, ControlState::SendReady, SlotButtons::Skip);
    emptyTable(form_, true);
    state_.StopSending = 0;
}
