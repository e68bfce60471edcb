// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/com1_command.h"

#include "base/charset.h"
#include "base/code_check.h"
#include "base/log_categories.h"
#include "base/runtime_error.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/slot_style.h"
#include "form/status_line.h"
#include "operations/continuous_send.h"
#include "serial/comm_control.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>

Com1Command::Com1Command(FrmAscii& form, CommControl& port, ContinuousSend& continuousSend)
    : form_(form), port_(port), continuousSend_(continuousSend) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(QuietMs);
    QObject::connect(&quiet_, &QTimer::timeout, [this] { lineFellQuiet(); });
}

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
    enterState(form_, ControlState::Receiving);
    emptyTable(form_);
    yieldToEvents();
    continuousSend_.withdrawStopRequest();
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
    received_.clear();
    placed_ = 0;
    form_.statusLine()->say(QStringLiteral("Waiting for the board: press its key 1"));
}

bool Com1Command::readSome(QByteArray& bytes) {
    // Any failure from here on ends the reception silently: typically a
    // nested operation closed the port. It is caught here, never in a slot
    // connected to the port, which would stop the port's notifications.
    try {
        for (;;) {
            bytes = port_.Input();
            received_ += bytes;
            if (!bytes.isEmpty()) {
                quiet_.start();
                return true;
            }
            waitForEvents(); // a byte, or the line quiet for a while
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
        finishReception(QStringLiteral("The port closed: %1 went away during the reception (%2); ")
                            .arg(port_.devicePath(), port_.lossReason()));
        return;
    }
    // A nested mode switch set up the window for sending: only the port's
    // state is put right.
    form_.showPortOpen(false);
}

bool Com1Command::place(unsigned char code) {
    form_.slot(code).number->setText(threeDigits(code));
    form_.slot(code).character->setText(textFromByte(code));
    // Every 32 codes: each change is read out to a screen reader.
    if (++placed_ % 32 == 0)
        form_.statusLine()->say(
            QStringLiteral("Receiving the table: %1 of 256 codes").arg(placed_));
    yieldToEvents();
    form_.showCodeText(code);
    ShowBitPattern(form_, code);
    return code == 255;
}

// Bytes came, then none for a while, and code 255 not among them: the
// reception still waits (it ends only on 255), but the window says what has
// come so far, where a wrong wire or rate would otherwise wait unexplained.
void Com1Command::lineFellQuiet() {
    if (!port_.PortOpen() || !form_.optRxD()->isChecked())
        return;
    form_.statusLine()->say(QStringLiteral("No code 255 yet, the line quiet for %1 s: %2")
                                .arg(QuietMs / 1000)
                                .arg(checkSummary(checkCodes(allCodes(), received_))));
}

void Com1Command::finishReception(const QString& why) {
    quiet_.stop();
    port_.closePort();
    form_.enableDisplayOptions(true);
    enterState(form_, ControlState::ReadyAfterReception);
    checkTable(why);
}

// What came against the codes 0 to 255 in order, worded as the cable test
// words it: in the status line, and with the details on standard error. A
// code that did not come shows its number in grey.
void Com1Command::checkTable(const QString& why) {
    const CodeCheck check = checkCodes(allCodes(), received_);
    const QString summary = checkSummary(check);
    form_.statusLine()->say(why + summary);
    std::fprintf(stderr, "zerbo: the table on COM1: %s\n", qPrintable(summary));
    if (!check.passed())
        for (const QString& line : checkDetails(check, QStringLiteral("arrived as"))
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            std::fprintf(stderr, "  %s\n", qPrintable(line));
    for (int code : check.missing)
        markSlotMissing(form_, code);
}

void Com1Command::sendReady() {
    enterState(form_, ControlState::SendReady);
    emptyTable(form_);
    continuousSend_.withdrawStopRequest();
    form_.statusLine()->say(
        QStringLiteral("Ready to send: click a slot, or type a string and press Send"));
}
