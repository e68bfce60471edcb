// SPDX-License-Identifier: GPL-3.0-or-later
// The real ZERBO against the simulated board running the firmware: the table
// at start-up, and every way of sending shown on the board's LEDs in order,
// the pauses measured on the board's clock.
#include "base/charset.h"
#include "board_process.h"
#include "form/option_button.h"
#include "program.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace {
// Runs the firmware image on the simulated chip.
QStringList firmware(const QString& image = QStringLiteral("zerbo-board.hex")) {
    return firmwareOptions(QStringLiteral(ZERBO_FIRMWARE_DIR "/") + image);
}

QList<double> gapsMs(const QList<Arrival>& leds) {
    QList<double> gaps;
    for (qsizetype i = 1; i < leds.size(); ++i)
        gaps << (leds[i].seconds - leds[i - 1].seconds) * 1000;
    return gaps;
}

// A pause of pauseMs kept by the program, as the board's LEDs show it: no
// gap shorter than the pause by more than the board's process may have been
// late to read the byte before (which makes the next gap look that much
// shorter; 18 ms seen beside a load of 5 on two cores), none longer than a
// very busy machine makes it (91 ms late seen at a load of 10), and the
// median at the pause: at most 2 ms short, at most 10 ms late (a busy
// machine wakes the program late, never early).
bool paced(QList<double> gaps, double pauseMs) {
    if (gaps.isEmpty())
        return false;
    for (double gap : gaps)
        if (gap < pauseMs - 30 || gap > pauseMs + 200)
            return false;
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps[gaps.size() / 2];
    return median >= pauseMs - 2 && median <= pauseMs + 10;
}

QString show(const QList<double>& gaps) {
    QStringList words;
    for (double gap : gaps)
        words << QString::number(gap, 'f', 1);
    return words.join(' ');
}
} // namespace

class FirmwareZerbo : public QObject {
    Q_OBJECT
private slots:
    void startUpTableThenEverySendOnTheLeds() {
        BoardProcess board(firmware());
        Zerbo zerbo(board.link());
        onceWaiting(zerbo, [&board] { board.pressKeyOne(); });
        loadKillingBoardAfter(zerbo, board.process(), 10000);
        FrmAscii& form = zerbo.form();
        QCOMPARE(numberedSlots(form), 256);
        for (int code = 1; code < 256; ++code)
            QCOMPARE(form.slot(code).character->text(),
                     textFromByte(static_cast<unsigned char>(code)));
        board.settle(100);

        // Slot clicks and the arrow keys: each selected slot sends its code.
        for (int code : {0, 65, 65, 255})
            form.slot(code).sendButton->click();
        form.slot(65).sendButton->click();
        QTest::keyClick(form.slot(65).sendButton, Qt::Key_Right);
        QTest::keyClick(form.slot(66).sendButton, Qt::Key_Left);
        const QList<int> clicked{0, 65, 65, 255, 65, 66, 65};
        board.readUntil([&] { return board.leds.size() >= clicked.size(); });
        QCOMPARE(codesOf(board.leds), clicked);
        QCOMPARE(codesOf(board.rx), clicked);
        board.settle(100);

        // A string with a pause between its characters: four gaps, so that one
        // byte the simulator took late on a busy machine does not move the median.
        form.txtTime()->setText("100");
        form.txtS()->setText("AB1yz");
        form.cmdSend()->click();
        board.readUntil([&] { return board.leds.size() >= 5; });
        QCOMPARE(codesOf(board.leds), (QList<int>{'A', 'B', '1', 'y', 'z'}));
        QVERIFY2(paced(gapsMs(board.leds), 100), qPrintable(show(gapsMs(board.leds))));
        board.settle(100);

        // Continuous sending until Stop, the port closed and reopened before each byte.
        form.txtTime()->setText("50");
        form.txtO()->setText("90");
        later(600, [&form] { form.cmdStopC()->click(); });
        form.cmdSendC()->click();
        board.readUntil([&] { return false; }, 300);
        QVERIFY2(board.leds.size() >= 5, qPrintable(QString::number(board.leds.size())));
        QCOMPARE(codesOf(board.leds), QList<int>(board.leds.size(), 90));
        QCOMPARE(codesOf(board.rx), QList<int>(board.leds.size(), 90));
        QVERIFY2(paced(gapsMs(board.leds), 50), qPrintable(show(gapsMs(board.leds))));
    }

    // A firmware built for 19200 baud against ZERBO's 38400: what arrives is
    // not the table.
    void aFirmwareForAnotherRateGivesAWrongTable() {
        BoardProcess board(firmware("zerbo-board-19200.hex"));
        Zerbo zerbo(board.link());
        onceWaiting(zerbo, [&board] { board.pressKeyOne(); });
        loadKillingBoardAfter(zerbo, board.process(), 3000); // 255 may never come
        const int right = numberedSlots(zerbo.form());
        qInfo("%d of 256 slots filled from a table sent at 19200 baud", right);
        QVERIFY2(right < 256, "the table came through a wrong rate unharmed");
    }
};

QTEST_MAIN(FirmwareZerbo)
#include "tst_firmware_zerbo.moc"
