// Ending the program, each case in a child process since ending ends the process.
#include "app/error_report.h"
#include "app/shutdown.h"
#include "app/zerbo_application.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/background_window.h"
#include "form/option_button.h"
#include "program.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <map>

// Receiving (nested in start-up) -> mode switch -> fill (nested again) -> Exit.
static void exitDuringNestedFill(Program& p) {
    later(20, [&p] {
        p.form.optTxD->click();
        later(60, [&p] { p.form.cmdExit->click(); });
        p.form.txtTime->setText("20");
        p.form.cmdMan->click();
        std::puts("fill went on after Exit");
    });
    p.zerbo.Form_Load();
}

// "1e400" ms between two codes of the fill is 24 days: events run, and Exit ends it.
static void exitDuringAnEndlessPause(Program& p) {
    showReady(p.form);
    p.form.txtTime->setText("1e400");
    QByteArray onTheLine;
    waitUntil([&] { return !(onTheLine += p.board.read(1, 1)).isEmpty(); },
              [&] {
                  later(200, [&] {
                      std::printf("alive: %d byte, %s\n", int((onTheLine += p.board.read()).size()),
                                  qPrintable(p.form.txtTime->text()));
                      p.form.cmdExit->click();
                  });
              });
    p.form.cmdMan->click();
}

class ShutdownTest : public QObject {
    Q_OBJECT
private slots:
    void endsTheProgramAtOnce_data() {
        QTest::addColumn<QString>("said");
        QTest::newRow("exit-during-nested-fill") << "";
        QTest::newRow("exit-during-an-endless-pause") << "alive: 1 byte, 1e400";
        QTest::newRow("double-click-on-the-backdrop") << "";
        QTest::newRow("absent-device")
            << "Run-time error 8002: Serial port /dev/zerbo-absent (COM1) was not found.";
    }
    void endsTheProgramAtOnce() {
        QFETCH(QString, said);
        const ChildResult result = runChild(QTest::currentDataTag()); // the row names the scenario
        QCOMPARE(result.exitCode, said.startsWith("Run-time error") ? 1 : 0); // 3: went on
        QVERIFY2(result.output.contains(said) && !result.output.contains("went on"),
                 qPrintable(result.output));
    }
};

int main(int argc, char** argv) {
    const QByteArray scenario = childScenario();
    if (scenario.isEmpty()) {
        QApplication app(argc, argv);
        ShutdownTest test;
        return QTest::qExec(&test, argc, argv);
    }
    // Child side: start-up as main() does it, with the scenario playing the user.
    ZerboApplication app(argc, argv);
    MessageBoxAnswerer answerer; // a second box would wait for ever
    Program p;
    Shutdown::setPort(&p.zerbo.comTest);
    const std::map<QByteArray, void (*)(Program&)> scenarios{
        {"exit-during-nested-fill", exitDuringNestedFill},
        {"exit-during-an-endless-pause", exitDuringAnEndlessPause},
        {"double-click-on-the-backdrop",
         [](Program& p) {
             p.form.cmdBackShowHide->click();
             QTest::mouseDClick(p.zerbo.background.window()->picture(), Qt::LeftButton);
         }},
        {"absent-device",
         [](Program&) { Zerbo(QStringLiteral("/dev/zerbo-absent")).Form_Load(); }}};
    try {
        scenarios.at(scenario)(p);
    } catch (const std::exception& error) {
        reportErrorAndEnd(error);
    }
    return 3;
}
#include "tst_shutdown.moc"
