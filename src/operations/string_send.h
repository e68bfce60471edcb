// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class CommControl;
class FrmAscii;
class PacedSend;

// "Send": sends the text of txtS character by character, with the pause of
// txtTime before each.
class StringSend {
public:
    StringSend(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    void cmdSend_Click();

private:
    void send();
    void prepare();
    QByteArray chooseText();
    void sendCharacter(char byte, int position, int length, PacedSend& paced);
    void finish();

    FrmAscii& form_;
    CommControl& port_;
    bool running_ = false;
};

// The bytes of a text in the 8-bit character set, one per character; a
// character outside the set goes out as "?".
QByteArray bytesOfText(const QString& text);

// The progress bar's value for the character at position (1-based) of a text
// of length characters, scaled onto 0..FrmAscii::ProgressEnd when the text is longer.
int progressValue(int position, int length);
