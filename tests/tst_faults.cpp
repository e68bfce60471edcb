// SPDX-License-Identifier: GPL-3.0-or-later
// The board's line failing under the program: the adapter unplugged (the
// other end closed, and with it the device's path gone) while the program
// waits, receives or sends. A reception ends, says so on standard error and
// shows the port closed; a send reports the
// error once, names the device, and the program ends when it is answered.
// Nothing spins a core meanwhile. Exit ends the program at once, whatever runs.
// Cases that end the program run in a child process, since ending ends it.
#include "app/zerbo.h"
#include "board_process.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/background_window.h"
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "form/status_line.h"
#include "process_probe.h"
#include "program.h"
#include "run_program.h"
#include "standard_error.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {
constexpr int LookMs = 500;

// The board's port under a path of its own, which an unplugging removes.
struct UnpluggableBoard {
    PtyPair pty;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("board"));
    UnpluggableBoard() { QFile::link(pty.slavePath(), path); }

    void fail(const QString& fault) {
        pty.closeMaster();
        if (fault == QLatin1String("unplugged"))
            QFile::remove(path);
    }
};

// The user in front of the error box: looks at it for a while, tells the test
// what it said and what CPU went by meanwhile, then answers it.
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

// Child side: an operation runs, the board fails under it.
int playFault(const QString& operation, const QString& fault) {
    UnpluggableBoard board;
    Zerbo zerbo(board.path);
    FrmAscii& form = zerbo.form();
    showReady(form);
    // The operation's field, what is typed there, and its button.
    const std::map<QString, std::tuple<QLineEdit*, QString, QWidget*>> operations{
        {"fill", {form.txtTime(), "20", form.cmdMan()}},
        {"string", {form.txtS(), "The quick brown fox", form.cmdSend()}},
        {"continuous", {form.txtO(), "65", form.cmdSendC()}},
        {"slot", {form.txtO(), "", form.slot(65).sendButton}}};
    const auto& [field, typed, button] = operations.at(operation);
    field->setText(typed);
    if (operation == "slot")
        board.fail(fault); // between two clicks on the slots
    // From outside the event loop, as a real unplugging comes: mostly while a
    // pause blocks, so that the next yield sees the hang-up first.
    std::thread outside([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        board.fail(fault);
    });
    outside.detach();
    QTest::mouseClick(button, Qt::LeftButton); // as the user does: through the application
    QTest::qWait(3000);
    std::puts("the program went on after the error");
    return 3;
}

// Child side: the board's pseudo-terminal gone after a slot click and its
// number given to a new terminal (a terminal tab, say). The next click must
// leave that terminal alone: no byte, its settings as they were.
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
    // The program sees the hang-up and lets go of the number.
    if (!QTest::qWaitFor([&zerbo] { return !zerbo.port().PortOpen(); }, 5000)) {
        std::puts("the program kept the port of a board that went away");
        return 5;
    }
    std::vector<int> others;
    int tab = -1, tabMaster = -1;
    for (int attempt = 0; attempt < 32 && tab < 0; ++attempt) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            break;
        if (device == ::ptsname(master))
            tab = ::open(device.constData(), O_RDWR | O_NOCTTY), tabMaster = master;
        else
            others.push_back(master); // kept, so that the next one takes another number
    }
    if (tab < 0) {
        std::puts("no new terminal took the board's number");
        return 4;
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
    QTest::qWait(3000);
    std::puts("the program went on after the error");
    return 3;
}

// Child side: start-up on a device that is not there; what the window
// shows behind the error box.
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

// Receiving (nested in start-up) -> mode switch -> fill (nested again) -> Exit.
void exitDuringNestedFill(Program& p) {
    later(20, [&p] {
        p.form.optTxD()->click();
        later(60, [&p] { p.form.cmdExit()->click(); });
        p.form.txtTime()->setText("20");
        p.form.cmdMan()->click();
        std::puts("fill went on after Exit");
    });
    p.zerbo.Form_Load();
}

// The longest pause between two codes of the fill is 24.8 days: events run, and Exit ends it.
void exitDuringAnEndlessPause(Program& p) {
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
}

// Child side: "operation:fault", or a way of ending the program.
int playScenario(const QString& scenario) {
    answerBoxesAfterLooking();
    const QStringList parts = scenario.split(':');
    if (scenario == "slot:replaced")
        return playReplacedDevice();
    if (scenario == "start:missing")
        return playStartOnAMissingDevice();
    if (parts.size() == 2)
        return playFault(parts[0], parts[1]);
    Program p;
    const std::map<QString, void (*)(Program&)> scenarios{
        {"exit-during-nested-fill", exitDuringNestedFill},
        {"exit-during-an-endless-pause", exitDuringAnEndlessPause},
        {"double-click-on-the-backdrop", [](Program& p) {
             p.form.cmdBackShowHide()->click();
             QTest::mouseDClick(p.zerbo.background().window()->picture(), Qt::LeftButton);
         }}};
    scenarios.at(scenario)(p);
    return 3;
}
} // namespace

class FaultTest : public QObject {
    Q_OBJECT

private slots:
    void endsTheProgramAtOnce_data() {
        QTest::addColumn<QString>("said");
        QTest::newRow("exit-during-nested-fill") << "";
        QTest::newRow("exit-during-an-endless-pause") << "alive: 1 byte, 2147483647";
        QTest::newRow("double-click-on-the-backdrop") << "";
    }
    void endsTheProgramAtOnce() {
        QFETCH(QString, said);
        const ChildResult result = runChild(QTest::currentDataTag()); // the row names the scenario
        QCOMPARE(result.exitCode, 0);                                 // 3: went on
        QVERIFY2(result.output.contains(said) && !result.output.contains("went on") &&
                     !result.output.contains("box: "),
                 qPrintable(result.output));
    }

    void whileReceiving_data() {
        QTest::addColumn<int>("bytesFirst");
        QTest::addColumn<QString>("fault");
        for (const char* fault : {"closed", "unplugged"}) {
            QTest::addRow("waiting, %s", fault) << 0 << fault;
            QTest::addRow("after 3 codes, %s", fault) << 3 << fault;
        }
        QTest::addRow("a nested fill closes the port") << 3 << "nested fill";
    }
    // A device gone under the reception ends it, start-up goes on, and the
    // dead device does not keep the event loop spinning. The window shows the
    // port closed, ready as after a table, and standard error says why. A
    // nested operation that closed the port ends it silently instead, in the
    // state that operation left.
    void whileReceiving() {
        QFETCH(int, bytesFirst);
        QFETCH(QString, fault);
        UnpluggableBoard board;
        Zerbo zerbo(board.path);
        FrmAscii& form = zerbo.form();
        onceWaiting(zerbo, [&] {
            board.pty.write(wholeTable().left(bytesFirst));
            later(50, [&] {
                if (fault != "nested fill") {
                    board.fail(fault);
                    return;
                }
                form.optTxD()->click();
                form.txtTime()->setText("10");
                form.cmdMan()->click();
            });
        });
        const QString said = standardErrorOf([&] { zerbo.Form_Load(); });
        QVERIFY(!zerbo.port().PortOpen());
        QCOMPARE(form.cmbFontSize()->count(), 9); // start-up went on
        if (fault == "nested fill") {
            QCOMPARE(numberedSlots(form), 256);
            QVERIFY2(!said.contains("zerbo:"), qPrintable(said));
            QVERIFY(!form.chkClosed()->isChecked()); // the fill's Ready state stands
            return;
        }
        QCOMPARE(numberedSlots(form), bytesFirst); // the codes of the first read stay
        // The rest are numbered in grey: they did not come.
        QCOMPARE(form.slot(255).number->text(), "255");
        QCOMPARE(textColour(form.slot(255).number), Grey);
        const QString came = QStringLiteral("%1 of 256 codes arrived intact: missing %2-255")
                                 .arg(bytesFirst)
                                 .arg(bytesFirst);
        QCOMPARE(said.section('\n', 0, 1),
                 QStringLiteral("zerbo: %1 (COM1) went away during the reception (%2); "
                                "the reception ended and the port is closed\n"
                                "zerbo: the table on COM1: %3")
                     .arg(board.path, zerbo.port().lossReason(), came));
        QCOMPARE(form.statusLine()->news(),
                 QStringLiteral("The port closed: %1 went away during the reception (%2); %3")
                     .arg(board.path, zerbo.port().lossReason(), came));
        QVERIFY(!zerbo.port().lossReason().isEmpty());
        QVERIFY(!form.chkOpen()->isChecked() && form.chkClosed()->isChecked());
        QVERIFY(form.cmdMan()->isEnabled() && form.cmdNew()->isEnabled() &&
                form.slot(0).sendButton->isEnabled());
        QVERIFY(form.chkN()->isEnabled());
        const double before = cpuSeconds();
        QTest::qWait(300);
        QVERIFY2(cpuSeconds() - before < 0.1, "the event loop spins on the dead device");
    }

    void whileSending_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("fault");
        for (const char* operation : {"fill", "string", "continuous", "slot"})
            for (const char* fault : {"closed", "unplugged"})
                QTest::addRow("%s, %s", operation, fault) << operation << fault;
    }
    void whileSending() {
        QFETCH(QString, operation);
        QFETCH(QString, fault);
        const ChildResult result = runChild(operation + ":" + fault);
        const QString& said = result.output;
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(said.count("box: "), 1);
        const QRegularExpression box(
            "box: ZERBO \\| Run-time error 80(02|15|16): .*/board \\(COM1\\)");
        QVERIFY2(said.contains(box), qPrintable(said));
        const auto cpu = QRegularExpression("cpu-ms while shown: (\\d+)").match(said);
        QVERIFY2(cpu.hasMatch() && cpu.captured(1).toInt() < LookMs / 5, qPrintable(said));
        QVERIFY2(!said.contains("went on"), qPrintable(said));
    }

    // The board's pseudo-terminal gone and its number given to a new terminal:
    // the next send is refused with the lost-device error, and nothing is
    // set or written on the new terminal.
    void aNewDeviceUnderTheNameIsLeftAlone() {
        // Another test's pseudo-terminal may take the freed number first (exit 4): again.
        ChildResult result = runChild(QStringLiteral("slot:replaced"));
        for (int attempt = 0; attempt < 5 && result.exitCode == 4; ++attempt)
            result = runChild(QStringLiteral("slot:replaced"));
        const QString& said = result.output;
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(said.contains(QRegularExpression(
                     "box: ZERBO \\| Run-time error 8002: Serial port .*/board \\(COM1\\) is "
                     "gone: its name now leads to /dev/pts/\\d+, another device than the one "
                     "opened before")),
                 qPrintable(said));
        QVERIFY2(said.contains("the new terminal: 0 bytes, canonical"), qPrintable(said));
    }

    // A port that never opened is not shown open behind its error box, and the status line
    // says the error.
    void noPortOpenBehindTheBox() {
        const ChildResult result = runChild(QStringLiteral("start:missing"));
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.output.contains("behind the box: port open not ticked; status: Run-time "
                                        "error 8002: Serial port /nonexistent/zerbo-port (COM1) "
                                        "was not found."),
                 qPrintable(result.output));
    }

    // "Port open" follows the port: a board gone while a slot click held the
    // port open unticks it at once, before any next action.
    void portOpenFollowsTheDevice() {
        ReadyProgram p;
        QTest::mouseClick(p.form.slot(65).sendButton, Qt::LeftButton);
        QVERIFY(p.zerbo.port().PortOpen() && p.form.chkOpen()->isChecked());
        p.board.closeMaster();
        QTRY_VERIFY(!p.form.chkOpen()->isChecked());
        QVERIFY(!p.zerbo.port().PortOpen());
    }

    // Another program reading the port takes some of the table's bytes: no
    // hang-up, the reception goes on waiting, and standard error names the
    // reader once. Once it has gone, code 255 still ends the reception.
    void anotherReaderIsNoHangUp() {
        Program p;
        QProcess reader;
        reader.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--read-port"), p.board.slavePath()});
        QVERIFY(reader.waitForReadyRead(5000) && reader.readAll().startsWith("reading"));
        const QString warning = QStringLiteral("zerbo: %1 (COM1): bytes went missing: another "
                                               "program may be reading the port: PID %2 "
                                               "(tst_faults)")
                                    .arg(p.board.slavePath())
                                    .arg(reader.processId());
        QTimer feeder; // codes 2 to 254 again and again, until the reader has taken some
        feeder.setInterval(1);
        int code = 2;
        QString said;
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
        said = standardErrorOf([&] { p.zerbo.Form_Load(); });
        QVERIFY2(said.count(warning) == 1 && !said.contains("went away"), qPrintable(said));
        QVERIFY(p.form.chkClosed()->isChecked()); // ended by code 255, as a whole table ends
    }

    // The cable test the same: what another reader took is blamed on it, by name.
    void cableTestWithAnotherReader() {
        BoardProcess wire({QStringLiteral("--echo")});
        QProcess reader;
        reader.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--read-port"), wire.devicePath()});
        QVERIFY(reader.waitForReadyRead(5000) && reader.readAll().startsWith("reading"));
        const qint64 readerPid = reader.processId();
        // Which of the two reads an echoed byte first is the scheduler's choice:
        // again until a read of the test's found the reader had taken its bytes.
        Run result;
        for (int attempt = 0; attempt < 40 && !result.out.contains("may be reading"); ++attempt)
            result = runProgram(QStringLiteral(ZERBO_BINARY),
                                {"--loopback-test", "--port", wire.link()});
        reader.kill();
        reader.waitForFinished();
        QCOMPARE(result.exitCode, 1);
        const QString blamed = QStringLiteral("FAILED: another program may be reading the port: "
                                              "PID %1 (tst_faults)")
                                   .arg(readerPid);
        QVERIFY2(result.out.contains(blamed) && !result.out.contains("loose contact"),
                 qPrintable(result.out + result.err));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--read-port")
        return readPort(argv[2]);
    return mainPlayingScenarios<FaultTest>(argc, argv, playScenario);
}
#include "tst_faults.moc"
