// SPDX-License-Identifier: GPL-3.0-or-later
#include "firmware_board_process.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

FirmwareBoard::FirmwareBoard(const QString& image) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(ZERBO_BOARD_BINARY),
                  {"--headless", "--key-from-stdin", "--log-leds", "--link", link(), "--firmware",
                   QStringLiteral(ZERBO_FIRMWARE_DIR "/") + image});
    readUntil([this] { return lines.contains("port " + link()); });
}

FirmwareBoard::~FirmwareBoard() {
    process.terminate();
    process.waitForFinished(5000);
}

void FirmwareBoard::press() {
    process.write("key1\n");
    process.waitForBytesWritten(1000);
}

bool FirmwareBoard::readUntil(const std::function<bool()>& enough, int boundMs) {
    QDeadlineTimer deadline(boundMs);
    do {
        while (process.canReadLine()) {
            const QStringList words = QString::fromLocal8Bit(process.readLine()).split(' ');
            const QString line = words.join(' ').trimmed();
            if (words.value(0) == "rx")
                rx << words.value(1).toInt();
            else if (words.value(0) == "led")
                leds << Led{words.value(1).toInt(), words.value(2).toDouble()};
            else
                lines << line;
        }
    } while (!enough() && process.waitForReadyRead(int(deadline.remainingTime())));
    return enough();
}

void FirmwareBoard::settle(int ms) {
    QElapsedTimer waited;
    waited.start();
    readUntil([&] { return waited.elapsed() >= ms; }, ms);
    lines.clear();
    rx.clear();
    leds.clear();
}
