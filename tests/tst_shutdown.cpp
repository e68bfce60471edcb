// Ending the program: Exit from inside nested handlers and during a pause of
// days, and a serial port that cannot be opened at start-up. Each case runs the program in a child
// process, since ending means ending the process.
#include "app/control_states.h"
#include "app/error_report.h"
#include "app/option_button.h"
#include "app/shutdown.h"
#include "app/zerbo.h"
#include "app/zerbo_application.h"
#include "child_scenario.h"
#include "program.h"
#include "pty_pair.h"
#include <QMessageBox>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {
// Child side: start-up as main() does it, with a scenario playing the user.
int runScenario(int argc, char** argv, const QByteArray& scenario) {
    ZerboApplication app(argc, argv);
    if (scenario == "exit-during-nested-fill") {
        PtyPair board;
        Zerbo zerbo(board.slavePath());
        Shutdown::setPort(&zerbo.comTest);
        // Receiving (nested in start-up) -> mode switch -> fill (nested again) -> Exit.
        later(20, [&] {
            zerbo.form.optTxD->click();
            later(60, [&] { zerbo.form.cmdExit->click(); });
            zerbo.form.txtTime->setText("20");
            zerbo.form.cmdMan->click();
            std::puts("fill went on after Exit");
        });
        zerbo.Form_Load();
        std::puts("start-up went on after Exit");
        return 3;
    }
    if (scenario == "exit-while-the-board-has-stopped") {
        PtyPair board;
        Zerbo zerbo(board.slavePath());
        Shutdown::setPort(&zerbo.comTest);
        onceWaiting(zerbo, [&] {
            board.write(wholeTable().left(101)); // the board stops after code 100
            waitUntil([&] { return zerbo.form.lblN[100]->text() == "100"; },
                      [&] {
                          std::printf("slots %d\n", numberedSlots(zerbo.form));
                          std::fflush(stdout);
                          zerbo.form.cmdExit->click();
                      });
        });
        zerbo.Form_Load();
        std::puts("start-up went on after Exit");
        return 3;
    }
    if (scenario == "exit-during-an-endless-pause") {
        // "1e400" ms between two codes of the fill is 24 days: the window
        // still handles what comes meanwhile, and Exit ends it.
        PtyPair board;
        Zerbo zerbo(board.slavePath());
        Shutdown::setPort(&zerbo.comTest);
        enterState(zerbo.form, ControlState::Ready);
        zerbo.form.show();
        zerbo.form.txtTime->setText("1e400");
        QByteArray onTheLine;
        // Runs only if the window handles events during the pause after code 0.
        waitUntil([&] { return !(onTheLine += board.read(1, 1)).isEmpty(); },
                  [&] {
                      zerbo.form.txtS->setText("typed meanwhile");
                      later(0, [&] {
                          std::printf("alive: %d byte, %s, %s\n",
                                      int((onTheLine += board.read(100)).size()),
                                      qPrintable(zerbo.form.txtTime->text()),
                                      qPrintable(zerbo.form.txtS->text()));
                          zerbo.form.cmdExit->click();
                      });
                  });
        zerbo.form.cmdMan->click();
        std::puts("fill went on after Exit");
        return 3;
    }
    if (scenario == "absent-device") {
        Zerbo zerbo(QStringLiteral("/dev/zerbo-no-such-device"));
        Shutdown::setPort(&zerbo.comTest);
        // Plays the user: reads the message box aloud for the parent, then answers it.
        std::function<void()> answer = [&answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                std::printf("box: %s | %s\n", qPrintable(box->windowTitle()),
                            qPrintable(box->text().simplified()));
                std::fflush(stdout);
                box->accept();
                return;
            }
            QTimer::singleShot(5, answer);
        };
        QTimer::singleShot(0, answer);
        try {
            zerbo.Form_Load();
        } catch (const std::exception& error) {
            reportErrorAndEnd(error);
        }
        return 3;
    }
    return 2;
}

} // namespace

class ShutdownTest : public QObject {
    Q_OBJECT
private slots:
    void exitEndsEveryLevelAtOnce() {
        const ChildResult result = runChild("exit-during-nested-fill");
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(!result.output.contains("went on"), qPrintable(result.output));
    }

    void exitWhileTheBoardHasStopped() {
        const ChildResult result = runChild("exit-while-the-board-has-stopped");
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.output.contains("slots 101"), qPrintable(result.output));
        QVERIFY2(!result.output.contains("went on"), qPrintable(result.output));
    }

    void exitDuringAnEndlessPause() {
        const ChildResult result = runChild("exit-during-an-endless-pause");
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.output.contains("alive: 1 byte, 1e400, typed meanwhile"),
                 qPrintable(result.output));
        QVERIFY2(!result.output.contains("went on"), qPrintable(result.output));
    }

    void absentDeviceIsReportedAndEndsTheProgram() {
        const ChildResult result = runChild("absent-device");
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.output.contains("8002"), qPrintable(result.output));
        QVERIFY2(result.output.contains("/dev/zerbo-no-such-device"), qPrintable(result.output));
        QVERIFY2(result.output.contains("box: ZERBO |"), qPrintable(result.output));
    }
};

int main(int argc, char** argv) {
    const QByteArray scenario = childScenario();
    if (!scenario.isEmpty())
        return runScenario(argc, argv, scenario);
    QApplication app(argc, argv);
    ShutdownTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_shutdown.moc"
