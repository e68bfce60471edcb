// SPDX-License-Identifier: GPL-3.0-or-later
// The board's line failing under the program: the adapter unplugged (the
// other end closed, and with it the device's path gone) while the program
// waits, receives or sends. A reception ends, says so on standard error and
// shows the port closed; a send reports the
// error once, names the device, and the program ends when it is answered.
// Nothing spins a core meanwhile. Exit ends the program at once, whatever runs.
// Cases that end the program run in a child process, since ending ends it.
#include "app/zerbo.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/background_window.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "process_probe.h"
#include "program.h"
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
#include <functional>
#include <map>
#include <sys/stat.h>
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
    FrmAscii& form = zerbo.form;
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
    if (parts.size() == 2)
        return playFault(parts[0], parts[1]);
    Program p;
    const std::map<QString, void (*)(Program&)> scenarios{
        {"exit-during-nested-fill", exitDuringNestedFill},
        {"exit-during-an-endless-pause", exitDuringAnEndlessPause},
        {"double-click-on-the-backdrop", [](Program& p) {
             p.form.cmdBackShowHide()->click();
             QTest::mouseDClick(p.zerbo.background.window()->picture(), Qt::LeftButton);
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
        FrmAscii& form = zerbo.form;
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
        QVERIFY(!zerbo.comTest.PortOpen());
        QCOMPARE(form.cmbFontSize()->count(), 9); // start-up went on
        if (fault == "nested fill") {
            QCOMPARE(numberedSlots(form), 256);
            QVERIFY2(!said.contains("zerbo:"), qPrintable(said));
            QVERIFY(!form.chkClosed()->isChecked()); // the fill's Ready state stands
            return;
        }
        QCOMPARE(numberedSlots(form), bytesFirst); // the codes of the first read stay
        QCOMPARE(said, QStringLiteral("zerbo: %1 (COM1) went away during the reception (%2); "
                                      "the reception ended and the port is closed\n")
                           .arg(board.path, zerbo.comTest.lossReason()));
        QVERIFY(!zerbo.comTest.lossReason().isEmpty());
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
};

int main(int argc, char** argv) {
    return mainPlayingScenarios<FaultTest>(argc, argv, playScenario);
}
#include "tst_faults.moc"
