// Ending the program: Exit from inside nested handlers and during a pause of
// days, a double click on the backdrop, and a serial port that cannot be opened
// at start-up. Each case runs the program in a child process, since ending
// means ending the process.
#include "app/error_report.h"
#include "app/option_button.h"
#include "app/shutdown.h"
#include "app/zerbo_application.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "program.h"
#include "view/background_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {
// Receiving (nested in start-up) -> mode switch -> fill (nested again) -> Exit.
void exitDuringNestedFill(Program& p) {
    later(20, [&p] {
        p.form.optTxD->click();
        later(60, [&p] { p.form.cmdExit->click(); });
        p.form.txtTime->setText("20");
        p.form.cmdMan->click();
        std::puts("fill went on after Exit");
    });
    p.zerbo.Form_Load();
    std::puts("start-up went on after Exit");
}

// "1e400" ms between two codes of the fill is 24 days: the window handles
// events meanwhile, sends no more codes, and Exit ends it.
void exitDuringAnEndlessPause(Program& p) {
    showReady(p.form);
    p.form.txtTime->setText("1e400");
    QByteArray onTheLine;
    // Runs only if events are handled during the pause after code 0.
    waitUntil([&] { return !(onTheLine += p.board.read(1, 1)).isEmpty(); },
              [&] {
                  later(200, [&] {
                      std::printf("alive: %d byte, %s\n", int((onTheLine += p.board.read()).size()),
                                  qPrintable(p.form.txtTime->text()));
                      p.form.cmdExit->click();
                  });
              });
    p.form.cmdMan->click();
    std::puts("fill went on after Exit");
}

// A double click on the backdrop's picture while a handler yields.
void doubleClickOnTheBackdrop(Program& p) {
    p.form.cmdBackShowHide->click();
    later(0, [&p] {
        QTest::mouseDClick(p.zerbo.background.window()->picture(), Qt::LeftButton);
        std::puts("the double click went on");
    });
    QCoreApplication::processEvents();
    std::puts("the handler went on after the double click");
}

// Child side: start-up as main() does it, with a scenario playing the user.
int runScenario(int argc, char** argv, const QByteArray& scenario) {
    ZerboApplication app(argc, argv);
    if (scenario == "absent-device") {
        Zerbo zerbo(QStringLiteral("/dev/zerbo-absent"));
        MessageBoxAnswerer answerer; // a second box would wait for ever
        try {
            zerbo.Form_Load();
        } catch (const std::exception& error) {
            reportErrorAndEnd(error);
        }
        return 3;
    }
    Program p;
    Shutdown::setPort(&p.zerbo.comTest);
    if (scenario == "exit-during-nested-fill")
        exitDuringNestedFill(p);
    else if (scenario == "double-click-on-the-backdrop")
        doubleClickOnTheBackdrop(p);
    else
        exitDuringAnEndlessPause(p);
    return 3;
}
} // namespace

class ShutdownTest : public QObject {
    Q_OBJECT
private slots:
    // Exit and the double click end with code 0; an error with code 1 once its box is answered.
    void endsTheProgramAtOnce_data() {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("exit-during-nested-fill") << 0 << "";
        QTest::newRow("exit-during-an-endless-pause") << 0 << "alive: 1 byte, 1e400";
        QTest::newRow("double-click-on-the-backdrop") << 0 << "";
        QTest::newRow("absent-device")
            << 1 << "Run-time error 8002: Serial port /dev/zerbo-absent (COM1) was not found.";
    }
    void endsTheProgramAtOnce() {
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const ChildResult result = runChild(QTest::currentDataTag()); // the row names the scenario
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.output.contains(said), qPrintable(result.output));
        QVERIFY2(!result.output.contains("went on"), qPrintable(result.output));
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
