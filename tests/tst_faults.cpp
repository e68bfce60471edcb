// SPDX-License-Identifier: GPL-3.0-or-later
// The board's table at start-up; without a board the fill, the names and the reset; the line
// failing (closed, or unplugged and its path gone) while the program waits, receives or sends;
// Exit ending it at once. Cases that end the program run in a child process.
#include "app/zerbo.h"
#include "base/charset.h"
#include "board_process.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/background_window.h"
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "form/slot_style.h"
#include "form/status_line.h"
#include "form/window_position.h"
#include "process_probe.h"
#include "program.h"
#include "run_program.h"
#include "standard_error.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int LookMs = 500;
constexpr int NumberTaken = 4; // another pseudo-terminal took the freed number first: again

// The board's port under a path of its own, which an unplugging removes.
struct UnpluggableBoard {
    PtyPair pty;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("board"));
    UnpluggableBoard() { QFile::link(pty.slavePath(), path); }

    void fail(bool unplugged) {
        pty.closeMaster();
        if (unplugged)
            QFile::remove(path);
    }
};

// The user reads the error box a while, tells what it said and the CPU used meanwhile, answers.
void answerBoxesAfterLooking() {
    onNextMessageBox([](QMessageBox& box) {
        const double before = cpuSeconds();
        QTimer::singleShot(LookMs, &box, [&box, before] {
            std::printf("box: %s | %s\ncpu-ms while shown: %.0f\n", qPrintable(box.windowTitle()),
                        qPrintable(box.text().simplified()), (cpuSeconds() - before) * 1000);
            std::fflush(stdout);
            answerBoxesAfterLooking();
            box.accept();
        });
    });
}

// What a program that should have ended after an error shows, if it goes on.
int goesOn() {
    QTest::qWait(3000);
    std::puts("the program went on after the error");
    return 3;
}

// An operation that sends, by its widgets' names: its field, what is typed there, its button.
struct Sending {
    const char *name, *field, *typed, *button;
    bool failsBeforeTheClick; // between two clicks on the slots
};
const Sending sendings[] = {{"fill", "txtTime", "20", "cmdMan", false},
                            {"string", "txtS", "The quick brown fox", "cmdSend", false},
                            {"continuous", "txtO", "65", "cmdSendC", false},
                            {"slot", "txtO", "", "optS(65)", true}};

QString faultName(const Sending& sending, bool unplugged) {
    return QString("%1, %2").arg(sending.name, unplugged ? "unplugged" : "closed");
}

// Child side: an operation runs, the board fails under it.
int playFault(const Sending& sending, bool unplugged) {
    UnpluggableBoard board;
    Zerbo zerbo(board.path);
    showReady(zerbo.form());
    zerbo.form().findChild<QLineEdit*>(sending.field)->setText(sending.typed);
    if (sending.failsBeforeTheClick)
        board.fail(unplugged);
    // From outside the event loop, as a real unplugging comes: mostly while a pause blocks.
    std::thread([&board, unplugged] {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        board.fail(unplugged);
    }).detach();
    // As the user does: through the application.
    QTest::mouseClick(zerbo.form().findChild<QWidget*>(sending.button), Qt::LeftButton);
    return goesOn();
}

// Child side: the board's pseudo-terminal gone after a slot click, its number now a new one's.
int playReplacedDevice() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("board"));
    auto board = std::make_unique<PtyPair>();
    const QByteArray device = board->slavePath().toLocal8Bit();
    QFile::link(board->slavePath(), link);
    Zerbo zerbo(link);
    showReady(zerbo.form());
    QTest::mouseClick(zerbo.form().slot(65).sendButton, Qt::LeftButton); // the port stays open
    board.reset();
    if (!QTest::qWaitFor([&zerbo] { return !zerbo.port().PortOpen(); }, 5000)) {
        std::puts("the program kept the port of a board that went away");
        return 5;
    }
    int tabMaster = -1; // the others stay open, so that the next terminal takes another number
    for (int attempt = 0; attempt < 32 && tabMaster < 0; ++attempt) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            break;
        if (device == ::ptsname(master))
            tabMaster = master;
    }
    const int tab = tabMaster < 0 ? -1 : ::open(device.constData(), O_RDWR | O_NOCTTY);
    if (tab < 0) {
        std::puts("no new terminal took the board's number");
        return NumberTaken;
    }
    onNextMessageBox([tab, tabMaster](QMessageBox&) {
        termios settings{};
        int waiting = -1;
        ::tcgetattr(tab, &settings);
        ::ioctl(tabMaster, FIONREAD, &waiting);
        std::printf("the new terminal: %d bytes, %s\n", waiting,
                    (settings.c_lflag & ICANON) ? "canonical" : "raw");
        std::fflush(stdout);
    });
    QTest::mouseClick(zerbo.form().slot(66).sendButton, Qt::LeftButton);
    return goesOn();
}

// Child side: start-up on a missing device; what the window shows behind the error box.
int playStartOnAMissingDevice() {
    Zerbo zerbo(QStringLiteral("/nonexistent/zerbo-port"));
    onNextMessageBox([&zerbo](QMessageBox&) {
        std::printf("behind the box: port open %s; status: %s\n",
                    zerbo.form().chkOpen()->isChecked() ? "ticked" : "not ticked",
                    qPrintable(zerbo.form().statusLine()->news()));
        std::fflush(stdout);
    });
    zerbo.Form_Load();
    std::puts("start-up went on after the error");
    return 3;
}

// Receiving (nested in start-up) -> mode switch -> fill (nested again) -> Exit.
int exitDuringNestedFill() {
    Program p;
    later(20, [&p] {
        p.form.optTxD()->click();
        later(60, [&p] { p.form.cmdExit()->click(); });
        p.form.txtTime()->setText("20");
        p.form.cmdMan()->click();
        std::puts("fill went on after Exit");
    });
    p.zerbo.Form_Load();
    return 3;
}

// The longest pause between two codes of the fill is 24.8 days: events run, and Exit ends it.
int exitDuringAnEndlessPause() {
    Program p;
    showReady(p.form);
    p.form.txtTime()->setText("2147483647");
    QByteArray onTheLine;
    waitUntil([&] { return !(onTheLine += p.board.read(1, 1)).isEmpty(); },
              [&] {
                  later(200, [&] {
                      std::printf("alive: %d byte, %s\n", int((onTheLine += p.board.read()).size()),
                                  qPrintable(p.form.txtTime()->text()));
                      p.form.cmdExit()->click();
                  });
              });
    p.form.cmdMan()->click();
    return 3;
}

// Child side: the scenario its row names.
int playScenario(const QString& scenario) {
    answerBoxesAfterLooking();
    std::map<QString, std::function<int()>> play{
        {"exit during a nested fill", exitDuringNestedFill},
        {"exit during an endless pause", exitDuringAnEndlessPause},
        {"exit on a double-click on the backdrop",
         [] {
             Program p;
             p.form.cmdBackShowHide()->click();
             QTest::mouseDClick(p.zerbo.background().window()->picture(), Qt::LeftButton);
             return 3;
         }},
        {"slot, the device replaced", playReplacedDevice},
        {"start on a missing device", playStartOnAMissingDevice}};
    for (const Sending& sending : sendings)
        for (bool unplugged : {false, true})
            play[faultName(sending, unplugged)] = [&sending, unplugged] {
                return playFault(sending, unplugged);
            };
    return play.at(scenario)();
}

// Child side: another program reading the port, until killed.
int readPort(const char* device) {
    const int fd = ::open(device, O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::puts(fd < 0 ? "cannot open" : "reading");
    std::fflush(stdout);
    for (char bytes[256];;) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, -1) > 0 && ::read(fd, bytes, sizeof bytes) < 0 && errno == EIO)
            return 1;
    }
}

// Starts another program reading the device; whether it has it open.
bool startReader(QProcess& reader, const QString& device) {
    reader.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read-port"), device});
    return reader.waitForReadyRead(5000) && reader.readAll().startsWith("reading");
}

// How the program names a running reader that startReader started.
QString blamed(const QProcess& reader) {
    return QStringLiteral("another program may be reading the port: PID %1 (tst_faults)")
        .arg(reader.processId());
}
} // namespace

class ReceptionAndFaultsTest : public QObject {
    Q_OBJECT

    // The Ready state after a reception (code 0 numbered, but it shows no character).
    static void verifyCompleteTable(Program& p) {
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(p.form.slot(i).character->text(),
                     i ? textFromByte(static_cast<unsigned char>(i)) : "");
        QCOMPARE(p.form.txtO()->text() + " " + bitRow(p.form), QString("255 bbrrrrrr"));
        QVERIFY(!p.zerbo.port().PortOpen() && p.form.chkClosed()->isChecked());
    }

    // Runs the fill at once: its pauses emptied once it has started.
    static void fill(Program& p) {
        later(0, [&] {
            QVERIFY(!p.form.cmdMan()->isEnabled()); // no second fill inside this one
            p.form.txtTime()->clear();
        });
        p.form.cmdMan()->click();
    }

    // Clicks "names of the control codes"; what slots 0, 9, 13, 32 and 33 show then (their looks:
    // tst_fonts_colours).
    static QStringList names(Program& p) {
        QTest::mouseClick(p.form.chkA(), Qt::LeftButton);
        QStringList shown;
        for (int i : {0, 9, 13, 32, 33})
            shown << p.form.slot(i).character->text();
        return shown;
    }

private slots:
    // An error ends the program (exit 1) after its box, Exit (exit 0) at once; none goes on.
    void endsAsItShould_data() {
        QTest::addColumn<bool>("byError");
        QTest::addColumn<QStringList>("said"); // patterns the child's output matches
        QTest::newRow("exit during a nested fill") << false << QStringList{};
        QTest::newRow("exit during an endless pause")
            << false << QStringList{"alive: 1 byte, 2147483647"};
        QTest::newRow("exit on a double-click on the backdrop") << false << QStringList{};
        const QString box = "box: ZERBO \\| Run-time error 80";
        for (const Sending& sending : sendings)
            for (bool unplugged : {false, true})
                QTest::newRow(qPrintable(faultName(sending, unplugged)))
                    << true << QStringList{box + "(02|15|16): .*/board \\(COM1\\)"};
        // A new terminal under the lost board's number (a terminal tab, say) is not the board's.
        QTest::newRow("slot, the device replaced")
            << true
            << QStringList{box +
                               "02: Serial port .*/board \\(COM1\\) is gone: its name now "
                               "leads to /dev/pts/\\d+, another device than the one opened before",
                           "the new terminal: 0 bytes, canonical"};
        QTest::newRow("start on a missing device")
            << true
            << QStringList{QRegularExpression::escape(
                   "behind the box: port open not ticked; status: Run-time error 8002: Serial port "
                   "/nonexistent/zerbo-port (COM1) was not found.")};
    }
    void endsAsItShould() {
        QFETCH(bool, byError);
        QFETCH(QStringList, said);
        const QString scenario = QTest::currentDataTag();
        ChildResult result = runChild(scenario);
        for (int attempt = 0; attempt < 5 && result.exitCode == NumberTaken; ++attempt)
            result = runChild(scenario);
        const QString& output = result.output;
        QCOMPARE(result.exitCode, byError ? 1 : 0);
        const QRegularExpression box("^box: ", QRegularExpression::MultilineOption); // answered
        QVERIFY2(output.count(box) == int(byError) && !output.contains("went on"),
                 qPrintable(output));
        for (const QString& pattern : said)
            QVERIFY2(output.contains(QRegularExpression(pattern)), qPrintable(output));
        for (const auto& cpu : QRegularExpression("cpu-ms while shown: (\\d+)").globalMatch(output))
            QVERIFY2(cpu.captured(1).toInt() < LookMs / 5, qPrintable(output)); // no spinning
    }

    void whileReceiving_data() {
        QTest::addColumn<int>("bytesFirst");
        QTest::addColumn<bool>("unplugged");
        QTest::addColumn<bool>("nestedFill"); // instead of a fault
        for (bool unplugged : {false, true}) {
            const char* fault = unplugged ? "unplugged" : "closed";
            QTest::addRow("waiting, %s", fault) << 0 << unplugged << false;
            QTest::addRow("after 3 codes, %s", fault) << 3 << unplugged << false;
        }
        QTest::addRow("a nested fill closes the port") << 3 << false << true;
    }
    // A nested fill that closed the port itself ends the reception silently, in its own state.
    void whileReceiving() {
        QFETCH(int, bytesFirst);
        QFETCH(bool, unplugged);
        QFETCH(bool, nestedFill);
        UnpluggableBoard board;
        Zerbo zerbo(board.path);
        FrmAscii& form = zerbo.form();
        onceWaiting(zerbo, [&] {
            board.pty.write(wholeTable().left(bytesFirst));
            later(50, [&] {
                if (!nestedFill)
                    return board.fail(unplugged);
                form.optTxD()->click();
                form.txtTime()->setText("10");
                form.cmdMan()->click();
            });
        });
        const QString said = standardErrorOf([&] { zerbo.Form_Load(); });
        QVERIFY(!zerbo.port().PortOpen());
        QCOMPARE(form.cmbFontSize()->count(), 9); // start-up went on
        if (nestedFill) {
            QCOMPARE(numberedSlots(form), 256);
            QVERIFY2(!said.contains("zerbo:"), qPrintable(said));
            QVERIFY(!form.chkClosed()->isChecked()); // the fill's Ready state stands
            return;
        }
        QCOMPARE(numberedSlots(form), bytesFirst);      // the codes of the first read stay
        QCOMPARE(form.slot(255).number->text(), "255"); // numbered in grey: it did not come
        QCOMPARE(textColour(form.slot(255).number), Grey);
        const QString lost =
            QStringLiteral("went away during the reception (%1)").arg(zerbo.port().lossReason());
        const QString came =
            QStringLiteral("%1 of 256 codes arrived intact: missing %1-255").arg(bytesFirst);
        QCOMPARE(said.section('\n', 0, 1),
                 QStringLiteral("zerbo: %1 (COM1) %2; the reception ended and the port is closed\n"
                                "zerbo: the table on COM1: %3")
                     .arg(board.path, lost, came));
        QCOMPARE(form.statusLine()->news(),
                 QStringLiteral("The port closed: %1 %2; %3").arg(board.path, lost, came));
        QVERIFY(!zerbo.port().lossReason().isEmpty());
        QVERIFY(!form.chkOpen()->isChecked() && form.chkClosed()->isChecked());
        QVERIFY(form.cmdMan()->isEnabled() && form.cmdNew()->isEnabled() &&
                form.slot(0).sendButton->isEnabled());
        QVERIFY(form.chkN()->isEnabled());
        const double before = cpuSeconds();
        QTest::qWait(300);
        QVERIFY2(cpuSeconds() - before < 0.1, "the event loop spins on the dead device");
    }

    // "Port open" follows the port at once, before any next action.
    void portOpenFollowsTheDevice() {
        ReadyProgram p;
        QTest::mouseClick(p.form.slot(65).sendButton, Qt::LeftButton);
        QVERIFY(p.zerbo.port().PortOpen() && p.form.chkOpen()->isChecked());
        p.board.closeMaster();
        QTRY_VERIFY(!p.form.chkOpen()->isChecked());
        QVERIFY(!p.zerbo.port().PortOpen());
    }

    // Another program reading the port takes some of the table's bytes: no hang-up.
    void anotherReaderIsNoHangUp() {
        Program p;
        QProcess reader;
        QVERIFY(startReader(reader, p.board.slavePath()));
        const QString warning =
            "zerbo: " + p.board.slavePath() + " (COM1): bytes went missing: " + blamed(reader);
        QTimer feeder; // codes 2 to 254 again and again, until the reader has taken some
        feeder.setInterval(1);
        int code = 2;
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            p.board.write(QByteArray(1, char(code)));
            code = code == 254 ? 2 : code + 1;
            if (p.zerbo.port().otherReaders().isEmpty())
                return;
            feeder.stop();
            reader.kill();
            reader.waitForFinished();
            later(50, [&] { p.board.write(QByteArray(1, char(255))); });
        });
        later(10000, [&] { feeder.stop(), reader.kill(), p.board.write("\xff"); }); // in vain
        onceWaiting(p, [&] { feeder.start(); });
        const QString said = standardErrorOf([&] { p.zerbo.Form_Load(); });
        QVERIFY2(said.count(warning) == 1 && !said.contains("went away"), qPrintable(said));
        QVERIFY(p.form.chkClosed()->isChecked()); // ended by code 255, as a whole table ends
    }

    // The cable test the same: what another reader took is blamed on it, by name.
    void cableTestWithAnotherReader() {
        BoardProcess wire({QStringLiteral("--echo")});
        QProcess reader;
        QVERIFY(startReader(reader, wire.devicePath()));
        const QString blame = "FAILED: " + blamed(reader); // while the reader runs
        // Who reads an echoed byte first is the scheduler's choice: again until it took some.
        Run result;
        for (int attempt = 0; attempt < 40 && !result.out.contains("may be reading"); ++attempt)
            result = runProgram(QStringLiteral(ZERBO_BINARY),
                                {"--loopback-test", "--port", wire.link()});
        reader.kill();
        reader.waitForFinished();
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.out.contains(blame) && !result.out.contains("loose contact"),
                 qPrintable(result.out + result.err));
    }

    // The table at start-up, however grouped into reads, checked against 0..255 once code 255
    // ends it, worded as the cable test's report. Then a mode clears both port indicators.
    void tableIsChecked_data() {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QList<int>>("greyed");
        QTest::addColumn<bool>("complete"); // every code once, in order
        QTest::addColumn<QString>("mode");
        const auto row = [](const char* name, const QList<QByteArray>& reads, const char* says,
                            const QList<int>& greyed, bool complete, const char* mode) {
            QTest::newRow(name) << reads << QString(says) << greyed << complete << QString(mode);
        };
        const QByteArray table = wholeTable();
        const char* sound = "256 of 256 codes arrived intact and in order";
        QList<QByteArray> single;
        for (int code = 0; code < 256; ++code)
            single << QByteArray(1, char(code));
        row("sound", {table}, sound, {}, true, "optTxD");
        row("byte by byte", single, sound, {}, true, "optRxD");
        row("code 100 missing", {QByteArray(table).remove(100, 1)},
            "255 of 256 codes arrived intact: missing 100", {100}, false, "optTxD");
        row("code 100 twice", {QByteArray(table).insert(100, char(100))},
            "256 of 256 codes arrived intact: 1 byte more than sent", {}, false, "optRxD");
        row("300 bytes: 44 past 255", {table + table.left(44)},
            "256 of 256 codes arrived intact: 44 bytes more than sent", {}, false, "optTxD");
        row("a burst of zeros", {QByteArray(table).insert(101, QByteArray(20, '\0'))},
            "256 of 256 codes arrived intact: 20 bytes more than sent", {}, false, "optRxD");
        row("100 and 101 swapped", {QByteArray(table).replace(100, 2, "\x65\x64")},
            "254 of 256 codes arrived intact: 2 codes wrong; not in order", {}, false, "optTxD");
    }
    void tableIsChecked() {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QString, says);
        QFETCH(QList<int>, greyed);
        QFETCH(bool, complete);
        QFETCH(QString, mode);
        Program p;
        // One read every few milliseconds, so that each arrives on its own.
        qsizetype next = 0;
        QTimer feeder;
        feeder.setInterval(2);
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            if (next < reads.size())
                p.board.write(reads[next++]);
        });
        onceWaiting(p, [&] {
            feeder.start(); // first, so that a failing check cannot leave start-up waiting
            QCOMPARE(p.form.statusLine()->news(), "Waiting for the board: press its key 1");
            // Shown, and the user can leave but start nothing else meanwhile.
            QVERIFY(p.form.isVisible() && p.form.cmdExit()->isEnabled() &&
                    !p.form.cmdCom1()->isEnabled());
        });
        const QString said = standardErrorOf([&] { p.zerbo.Form_Load(); });
        if (complete)
            verifyCompleteTable(p);
        QCOMPARE(p.form.cmbFontSize()->count(), 9); // start-up went on once the table was in
        QCOMPARE(windowPosition(p.form), QPointF(1005, 1005)); // 1000 twips, to the pixel
        QCOMPARE(p.form.statusLine()->news(), says);
        QCOMPARE(said.section('\n', 0, 0), "zerbo: the table on COM1: " + says);
        QList<int> grey;
        for (int code = 0; code < 256; ++code)
            if (textColour(p.form.slot(code).number) == Grey)
                grey << code;
        QCOMPARE(grey, greyed);
        // The names of the control codes go only where a code came.
        QTest::mouseClick(p.form.chkA(), Qt::LeftButton);
        for (int code : greyed)
            if (code <= 32)
                QCOMPARE(p.form.slot(code).character->text(), QString());
        QVERIFY(!p.form.chkOpen()->isChecked() && p.form.chkClosed()->isChecked());
        p.form.findChild<OptionButton*>(mode)->click();
        QVERIFY(!p.form.chkOpen()->isChecked() && !p.form.chkClosed()->isChecked());
        QVERIFY(!p.form.chkOpen()->isEnabled() && !p.form.chkClosed()->isEnabled());
    }

    // A wire that loses bit 5: code 255 never comes; a quiet line still tells what came so far.
    void aQuietLineIsCheckedSoFar() {
        Program p;
        QByteArray noBit5 = wholeTable();
        for (char& byte : noBit5)
            byte = char(byte & ~0x20);
        const QString soFar = "No code 255 yet, the line quiet for 1 s: 128 of 256 codes arrived "
                              "intact: bit 5 always 0: check the wiring of TxD";
        onceWaiting(p, [&] {
            p.board.write(noBit5);
            waitUntil([&] { return p.form.statusLine()->news().startsWith("No code 255"); },
                      [&] {
                          QVERIFY2(p.form.statusLine()->news().startsWith(soFar),
                                   qPrintable(p.form.statusLine()->news()));
                          QVERIFY(p.zerbo.port().PortOpen()); // still waiting
                          p.board.write("\xff");
                      });
        });
        p.zerbo.Form_Load();
        QVERIFY(p.form.chkClosed()->isChecked());
    }

    // Transmit mode chosen while start-up waits: the outer reception still takes the table.
    void transmitModeNestedInAWaitingReceptionThenANewReception() {
        Program p;
        onceWaiting(p, [&] {
            p.board.write(wholeTable()); // read only once the outer reception waits again
            QTest::mouseClick(p.form.optTxD(), Qt::LeftButton);
            p.form.cmdCom1()->click();
            QVERIFY(p.form.slot(7).sendButton->isEnabled() && p.zerbo.port().PortOpen());
        });
        p.zerbo.Form_Load();
        verifyCompleteTable(p);
        p.form.cmdCom1()->click(); // without a mode: nothing happens
        QCOMPARE(numberedSlots(p.form), 256);
        QCOMPARE(p.zerbo.port().PortOpen(), false);
        QTest::mouseClick(p.form.optRxD(), Qt::LeftButton);
        onceWaiting(p, [&] {
            p.board.write(wholeTable());
            QCOMPARE(numberedSlots(p.form), 0); // emptied before waiting
        });
        p.form.cmdCom1()->click();
        verifyCompleteTable(p);
    }

    // Slots 0 to 32 take their names and the small font, on an empty table and over a filled one.
    void fillAndControlCodeNames() {
        ReadyProgram p; // as after start-up without a board: nothing received
        QCOMPARE(names(p), QStringList({"NUL", "HTB", "CR", "SP", ""}));
        QCOMPARE(numberedSlots(p.form), 33);
        fill(p);
        QCOMPARE(p.board.read(500), wholeTable());
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(p.form.slot(i).character->text(), textFromByte(static_cast<unsigned char>(i)));
        QCOMPARE(p.form.txtO()->text() + " " + bitRow(p.form), QString("255 bbrrrrrr"));
        QCOMPARE(p.form.statusLine()->news(),
                 "Filled without the board; each code was also sent on COM1");
        QVERIFY(p.form.cmdMan()->isEnabled() && p.form.slot(100).sendButton->isEnabled());
        p.form.slot(40).sendButton->setEnabled(false);
        markCurrentSlot(p.form, 20);
        setBackground(p.form.slot(65).character, Green);
        QCOMPARE(names(p), QStringList({"NUL", "HTB", "CR", "SP", "!"}));
        QVERIFY(!p.form.slot(40).sendButton->isEnabled());      // slot buttons keep their state
        QCOMPARE(background(p.form.slot(20).character), White); // a named slot's mark goes
        QCOMPARE(background(p.form.slot(65).character), Green); // beyond 32 it stays
        QVERIFY(!p.form.chkA()->isChecked());
    }

    void resetEmptiesEverythingButTheLine() {
        ReadyProgram p;
        fill(p);
        p.zerbo.port().openSequence();
        p.form.txtS()->setText("typed");
        p.form.txtTime()->setText("123");
        markCurrentSlot(p.form, 200);
        setBackground(p.form.txtO(), Red); // a code the continuous send refused
        p.form.cmdNew()->click();          // leaves the port and the pause alone
        QCOMPARE(numberedSlots(p.form), 0);
        QCOMPARE(p.form.statusLine()->news(),
                 "The table is empty: to receive again, pick RxD Receive, then Com1");
        for (int i = 0; i < 256; ++i)
            QCOMPARE(p.form.slot(i).character->text(), QString());
        QCOMPARE(background(p.form.slot(200).character), White); // the mark went
        QCOMPARE(bitRow(p.form) + p.form.txtO()->text() + p.form.txtS()->text(),
                 QString("wwwwwwww"));
        QCOMPARE(background(p.form.txtO()), White);
        QCOMPARE(p.form.txtTime()->text() + " " + p.form.legend()[0].name->text(),
                 QString("123 NUL"));
        QVERIFY(p.zerbo.port().PortOpen() && !p.form.prgBar()->isHidden());
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--read-port")
        return readPort(argv[2]);
    return mainPlayingScenarios<ReceptionAndFaultsTest>(argc, argv, playScenario);
}
#include "tst_faults.moc"
