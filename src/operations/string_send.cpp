// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/string_send.h"

#include "base/busy_guard.h"
#include "base/charset.h"
#include "base/yield.h"
#include "form/control_states.h"
#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/slot_style.h"
#include "operations/paced_send.h"
#include "operations/pause_field.h"
#include "operations/send_byte.h"
#include "serial/comm_control.h"

#include <QLineEdit>

namespace {
constexpr int MinimumPause = 100;
constexpr char Replacement = '?';
const QString NoPause = QStringLiteral("0000");
const QString Prompt =
    QStringLiteral("You can input your own text here and click the command button 'Send' again.");
} // namespace

QByteArray bytesOfText(const QString& text) {
    QByteArray bytes;
    for (const char32_t codePoint : text.toUcs4()) {
        const int byte = codePoint <= 0xFFFF ? byteFromChar(QChar(char16_t(codePoint))) : -1;
        bytes.append(byte < 0 ? Replacement : static_cast<char>(byte));
    }
    return bytes;
}

int progressValue(int position, int length) {
    if (length <= FrmAscii::ProgressEnd)
        return position;
    return static_cast<int>(qint64(position) * FrmAscii::ProgressEnd / length);
}

void StringSend::cmdSend_Click() {
    // The button stays enabled during the send; a click on it meanwhile is ignored.
    if (auto busy = BusyGuard::tryEnter(running_))
        send();
}

void StringSend::send() {
    prepare();
    yieldToEvents();
    // The position is this send's own: whatever runs in its yields cannot move it.
    const QByteArray bytes = chooseText();
    const int length = static_cast<int>(bytes.size());
    PacedSend paced(port_, PacedSend::Reopen::IfClosed);
    for (int position = 1; position <= length; ++position)
        sendCharacter(bytes[position - 1], position, length, paced);
    finish();
}

void StringSend::prepare() {
    enterState(form_, ControlState::StringSending);
    form_.showProgressAtZero();
    applyPauseMinimum(form_.txtTime(), MinimumPause);
    port_.openSequence();
}

// An empty field shows the prompt, and the prompt is what gets sent.
QByteArray StringSend::chooseText() {
    if (form_.txtS()->text().isEmpty())
        form_.txtS()->setText(Prompt);
    return bytesOfText(form_.txtS()->text().isEmpty() ? Prompt : form_.txtS()->text());
}

void StringSend::sendCharacter(char byte, int position, int length, PacedSend& paced) {
    yieldToEvents();
    // Read before every character: the user may change the pause meanwhile.
    if (form_.txtTime()->text() != NoPause)
        paced.pause(form_, pauseOf(form_.txtTime()));
    const int code = static_cast<unsigned char>(byte);
    paced.send(code);
    form_.showCodeText(code);
    form_.setProgress(progressValue(position, length));
    ShowBitPattern(form_, code);
}

void StringSend::finish() {
    form_.txtS()->clear();
    form_.txtS()->setFocus();
    enterState(form_, ControlState::StringSent);
    form_.showProgressAtZero();
    port_.closePort();
}
