#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

class CommControl;
class FrmAscii;

// "Send": sends the text of txtS character by character, with the pause of
// txtTime before each.
class StringSend {
public:
    StringSend(FrmAscii& form, CommControl& port) : form_(form), port_(port) {}

    void cmdSend_Click();

private:
    void prepare();
    QByteArray chooseText();
    using Clock = std::chrono::steady_clock;
    // Returns when the byte went out.
    Clock::time_point sendCharacter(char byte, int position, int length,
                                    std::optional<Clock::time_point> previousByte);
    static void pauseAfter(std::optional<Clock::time_point> previousByte, qint64 milliseconds);
    void finish();

    FrmAscii& form_;
    CommControl& port_;
    bool running_ = false;
};

// The bytes of a text in the 8-bit character set, one per character; a
// character outside the set goes out as "?".
QByteArray bytesOfText(const QString& text);

// The progress bar's value for the character at position (1-based) of a text
// of length characters, scaled onto 0..78 when the text is longer.
int progressValue(int position, int length);
