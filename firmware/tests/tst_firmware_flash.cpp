// SPDX-License-Identifier: GPL-3.0-or-later
// The flash path without hardware: the real avrdude writes the Uno image
// through a simulated board's bootloader with make flash's own command, then
// the real ZERBO takes the table from it; flashes that cannot work end within
// seconds, saying why.
#include "board_process.h"
#include "cannot_run.h"
#include "form/option_button.h"
#include "program.h"
#include "run_program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <optional>

namespace {
const QString UnoImage = QStringLiteral(ZERBO_FIRMWARE_DIR "/zerbo-board-uno.hex");
const QString ResetLine = QStringLiteral("reset: DTR rose, the bootloader runs");
const QString TableSent = QStringLiteral("table sent");
// avrdude's own ten sync attempts would keep a silent board a minute.
constexpr int FailsWithinMs = 20000;
// A reset, or the firmware after its bootloader, on a busy machine too.
constexpr int StartsWithinMs = 10000;

QStringList uno(const QStringList& more) {
    return QStringList{"--log-leds", "--mcu", "atmega328p"} + more;
}

// make flash BOARD=kind PORT=port
Run flash(const QString& kind, const QString& port) {
    RunOptions options;
    options.boundMs = 45000;
    return runProgram(QStringLiteral(FLASH_SCRIPT), {kind, port, UnoImage}, options);
}

// Processes whose command line names the path: an avrdude left behind, say.
int processesNaming(const QString& path) {
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (pid.front().isDigit() && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(QFile::encodeName(path)))
            ++count;
    }
    return count;
}
} // namespace

class FirmwareFlash : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!AVRDUDE_FOUND)
            ZERBO_CANNOT_RUN("no avrdude: apt-get install avrdude (make test installs it)");
        if (QStringLiteral(OPTIBOOT_HEX).isEmpty() || QStringLiteral(ATMEGABOOT_HEX).isEmpty())
            ZERBO_CANNOT_RUN("no optiboot.c or ATmegaBOOT_168_atmega328.hex for the simulated "
                             "boards' bootloaders: apt-get install arduino-core-avr (make test "
                             "installs it)");
    }

    // kind: make flash BOARD=kind; bootloader: the one the simulated chip starts in.
    void flashedThroughTheBootloaderThenTheTable_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("bootloader");
        QTest::newRow("Uno: optiboot at 115200 baud") << "uno" << OPTIBOOT_HEX;
        QTest::newRow("older Nano: ATmegaBOOT at 57600 baud") << "nano-old" << ATMEGABOOT_HEX;
    }
    // The board resets at avrdude's open and again at ZERBO's first open
    // (avrdude left HUPCL set), never at ZERBO's closes and reopens. Key 1
    // pressed while the bootloader waits sends nothing, nor does the firmware
    // the bootloader starts; key 1 pressed once the firmware runs, the whole table.
    void flashedThroughTheBootloaderThenTheTable() {
        QFETCH(QString, kind);
        QFETCH(QString, bootloader);
        QElapsedTimer took;
        took.start();
        BoardProcess board(uno({"--bootloader", bootloader}));
        QVERIFY(board.started());
        const Run written = flash(kind, board.link());
        QVERIFY2(written.exitCode == 0, qPrintable(written.err));
        QVERIFY2(written.err.contains(QLatin1String("bytes of flash verified")),
                 qPrintable(written.err));
        qInfo("flashed and verified in %lld ms", qlonglong(took.elapsed()));
        board.readAvailable();
        QCOMPARE(board.lines.count(ResetLine), 1);
        // The new firmware's first LED pattern (a second late after ATmegaBOOT), nothing sent.
        QVERIFY(board.readUntil([&board] { return !board.leds.isEmpty(); }, StartsWithinMs));
        board.readUntil([] { return false; }, 100);
        QVERIFY2(!board.lines.contains(TableSent), "the firmware sent the table unasked");
        board.settle(0);

        Zerbo zerbo(board.link());
        bool nothingUnasked = false;
        onceWaiting(zerbo, [&board, &nothingUnasked] {
            const bool reset = board.waitForLine(ResetLine, StartsWithinMs); // at ZERBO's open
            board.pressKeyOne(); // the bootloader runs: nobody reads the key
            board.readUntil([&board] { return !board.leds.isEmpty(); }, StartsWithinMs);
            board.readUntil([] { return false; }, 100);
            nothingUnasked = reset && !board.leds.isEmpty() && board.rx.isEmpty() &&
                             !board.lines.contains(TableSent) &&
                             codesOf(board.leds).count(0) == board.leds.size();
            board.pressKeyOne();
        });
        loadKillingBoardAfter(zerbo, board.process(), 15000);
        QVERIFY(nothingUnasked);
        QCOMPARE(numberedSlots(zerbo.form()), 256);
        board.settle(100);

        // Each click closes and reopens the port: no reset, every code on the LEDs.
        const QList<int> clicked{65, 0, 255, 90};
        for (int code : clicked)
            zerbo.form().slot(code).sendButton->click();
        board.readUntil([&] { return board.leds.size() >= clicked.size(); });
        QCOMPARE(codesOf(board.leds), clicked);
        QCOMPARE(codesOf(board.rx), clicked);
        QCOMPARE(board.lines.count(ResetLine), 0);
        qInfo("flash, table and clicks in %lld ms", qlonglong(took.elapsed()));
    }

    // board: its options (none: no port); unplugged: it ends while avrdude writes.
    void aFlashThatCannotWorkEndsSoon_data() {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("unplugged");
        QTest::addColumn<QString>("said");
        QTest::newRow("no bootloader")
            << uno({"--firmware", UnoImage}) << "uno" << false
            << "flash: the board's bootloader did not answer on %1 at 115200 baud";
        QTest::newRow("optiboot asked at the old Nano's rate")
            << uno({"--bootloader", OPTIBOOT_HEX}) << "nano-old" << false
            << "flash: the board's bootloader did not answer on %1 at 57600 baud";
        QTest::newRow("unplugged during the flash")
            << uno({"--bootloader", OPTIBOOT_HEX}) << "uno" << true
            << "flash: %1 went away during the flash";
        QTest::newRow("no such port")
            << QStringList{} << "uno" << false << "flash: %1 is not there";
    }
    // avrdude's error, our one line, status 1, within seconds; once unplugged,
    // nothing left on the port and the board plugged in again takes the next flash.
    void aFlashThatCannotWorkEndsSoon() {
        QFETCH(QStringList, board);
        QFETCH(QString, kind);
        QFETCH(bool, unplugged);
        QFETCH(QString, said);
        std::optional<BoardProcess> uno;
        if (!board.isEmpty())
            uno.emplace(board);
        const QString port = uno ? uno->link() : QStringLiteral("/nonexistent/zerbo-uno");
        QElapsedTimer took;
        took.start();
        QProcess flashing;
        flashing.start(QStringLiteral(FLASH_SCRIPT), {kind, port, UnoImage});
        if (unplugged) {
            QVERIFY(uno->readUntil([&] { return uno->rx.size() >= 300; }, FailsWithinMs));
            uno->kill();
            uno->process().waitForFinished();
        }
        QVERIFY2(flashing.waitForFinished(FailsWithinMs), "the flash hung");
        qInfo("failed in %lld ms", qlonglong(took.elapsed()));
        const QString err = QString::fromLocal8Bit(flashing.readAllStandardError());
        QCOMPARE(flashing.exitCode(), 1);
        QVERIFY2(err.contains(QLatin1String("avrdude")), qPrintable(err));
        const QString last = err.trimmed().section(QLatin1Char('\n'), -1);
        QVERIFY2(last.startsWith(said.arg(port)), qPrintable(err));
        if (!unplugged)
            return;
        QCOMPARE(processesNaming(port), 0);
        BoardProcess again(::uno({"--bootloader", OPTIBOOT_HEX}));
        const Run written = flash(kind, again.link());
        QVERIFY2(written.exitCode == 0 && written.err.contains("bytes of flash verified"),
                 qPrintable(written.err));
    }
};

QTEST_MAIN(FirmwareFlash)
#include "tst_firmware_flash.moc"
