// SPDX-License-Identifier: GPL-3.0-or-later
// The flash path without hardware: a simulated Uno in its bootloader, the
// real avrdude writing the Uno image through it with make flash BOARD=uno's
// own command (tools/flash-bootloader.sh), and the real ZERBO then taking
// the table from the chip just flashed and lighting its LEDs.
#include "board_process.h"
#include "cannot_run.h"
#include "form/option_button.h"
#include "program.h"
#include "run_program.h"

#include <QElapsedTimer>
#include <QTest>

namespace {
const QString UnoImage = QStringLiteral(ZERBO_FIRMWARE_DIR "/zerbo-board-uno.hex");
const QString ResetLine = QStringLiteral("reset: DTR rose, the bootloader runs");
const QString TableSent = QStringLiteral("table sent");

QStringList uno(const QStringList& more) {
    return QStringList{"--log-leds", "--mcu", "atmega328p"} + more;
}

Run flash(const QString& port) {
    RunOptions options;
    options.boundMs = 45000;
    return runProgram(QStringLiteral(FLASH_SCRIPT), {"uno", port, UnoImage}, options);
}
} // namespace

class FirmwareFlash : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!AVRDUDE_FOUND)
            ZERBO_CANNOT_RUN("no avrdude: apt-get install avrdude (make test installs it)");
        if (QStringLiteral(OPTIBOOT_HEX).isEmpty())
            ZERBO_CANNOT_RUN("no optiboot.c to build the Uno's bootloader from: apt-get install "
                             "arduino-core-avr (make test installs it)");
    }

    // The board resets at avrdude's open and again at ZERBO's first open
    // (avrdude left HUPCL set), never at ZERBO's closes and reopens. Key 1
    // pressed while the bootloader waits sends nothing, nor does the firmware
    // the bootloader starts; key 1 pressed once the firmware runs, the whole table.
    void flashedThroughTheBootloaderThenTheTable() {
        QElapsedTimer took;
        took.start();
        BoardProcess board(uno({"--bootloader", OPTIBOOT_HEX}));
        QVERIFY(board.started());
        const Run written = flash(board.link());
        QVERIFY2(written.exitCode == 0, qPrintable(written.err));
        QVERIFY2(written.err.contains(QLatin1String("bytes of flash verified")),
                 qPrintable(written.err));
        qInfo("flashed and verified in %lld ms", qlonglong(took.elapsed()));
        board.readAvailable();
        QCOMPARE(board.lines.count(ResetLine), 1);
        // The bootloader starts the new firmware, which sends nothing by itself.
        board.readUntil([] { return false; }, 300);
        QVERIFY2(!board.lines.contains(TableSent), "the firmware sent the table unasked");
        board.settle(0);

        Zerbo zerbo(board.link());
        bool nothingUnasked = false;
        onceWaiting(zerbo, [&board, &nothingUnasked] {
            board.pressKeyOne(); // the bootloader runs: nobody reads the key
            // The firmware's first pattern on the LEDs: it runs now, and sends nothing yet.
            board.readUntil([&board] { return !board.leds.isEmpty(); }, 5000);
            board.readUntil([] { return false; }, 100);
            nothingUnasked = board.lines.count(ResetLine) == 1 && board.rx.isEmpty() &&
                             !board.lines.contains(TableSent) &&
                             codesOf(board.leds).count(0) == board.leds.size();
            board.pressKeyOne();
        });
        QTimer::singleShot(15000, &board.process(), &QProcess::kill); // ends a reception in vain
        zerbo.Form_Load();
        QVERIFY(nothingUnasked);
        QCOMPARE(numberedSlots(zerbo.form), 256);
        board.settle(100);

        // Each click closes and reopens the port: no reset, every code on the LEDs.
        const QList<int> clicked{65, 0, 255, 90};
        for (int code : clicked)
            zerbo.form.slot(code).sendButton->click();
        board.readUntil([&] { return board.leds.size() >= clicked.size(); });
        QCOMPARE(codesOf(board.leds), clicked);
        QCOMPARE(codesOf(board.rx), clicked);
        QCOMPARE(board.lines.count(ResetLine), 0);
        qInfo("flash, table and clicks in %lld ms", qlonglong(took.elapsed()));
    }
};

QTEST_MAIN(FirmwareFlash)
#include "tst_firmware_flash.moc"
