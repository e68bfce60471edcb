// SPDX-License-Identifier: GPL-3.0-or-later
// A pause longer than a signed 32-bit count of milliseconds at the start of "Man": the fill does
// not start; a run-time error names the field, the value and the longest pause, on standard
// error and in one box, and the program ends with status 1 once the box is answered. The
// longest pause itself is taken: the fill sends code 0 and waits. Each case ends the program,
// so it runs in a child process.
#include "app/zerbo_application.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "program.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {
// Child side: the pause typed, then a click on Man. What the user and the board see is printed
// when the box shows, or after a while without one; then the box is answered or Exit clicked.
int playPause(const QString& pause) {
    Program p;
    showReady(p.form);
    p.form.slot(65).number->setText("065"); // a table the fill would empty
    p.form.txtTime()->setText(pause);
    const auto seen = [&p](const char* what) {
        std::printf("%s | wire: %s | lblN(65): %s | txtTime: %s\n", what,
                    p.board.read(50, 10).toHex().constData(),
                    qPrintable(p.form.slot(65).number->text()),
                    qPrintable(p.form.txtTime()->text()));
        std::fflush(stdout);
    };
    onNextMessageBox([seen](QMessageBox& box) {
        std::printf("box: %s | %s\n", qPrintable(box.windowTitle()),
                    qPrintable(box.text().simplified()));
        seen("when the box shows");
        box.accept();
    });
    later(400, [&p, seen] {
        seen("no box");
        p.form.cmdExit()->click();
    });
    QTest::mouseClick(p.form.cmdMan(), Qt::LeftButton);
    std::puts("the fill returned");
    return 3;
}
} // namespace

class PauseBoundTest : public QObject {
    Q_OBJECT

private slots:
    void pauseAtTheStartOfMan_data() {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("the longest, 2147483647") << "2147483647" << true;
        QTest::newRow("2147483647.5, rounded to even") << "2147483647.5" << false;
        QTest::newRow("one more, 2147483648") << "2147483648" << false;
        QTest::newRow("beyond a double, 1e400") << "1e400" << false;
    }
    void pauseAtTheStartOfMan() {
        QFETCH(QString, pause);
        QFETCH(bool, accepted);
        const ChildResult result = runChild(pause);
        const QString& said = result.output;
        QVERIFY2(!said.contains("returned"), qPrintable(said));
        if (accepted) { // code 0 went out, and the fill waits: Exit ends it
            QCOMPARE(result.exitCode, 0);
            QVERIFY2(said.contains("no box | wire: 00 | lblN(65):  | txtTime: " + pause) &&
                         !said.contains("box: ") && !said.contains("error"),
                     qPrintable(said));
            return;
        }
        const QString error = QString("Run-time error 6: Overflow: the pause \"%1\" in the field "
                                      "\"Time [ms] between the signs\" (txtTime) is longer than "
                                      "the longest pause accepted, 2147483647 ms")
                                  .arg(pause);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(said.contains("zerbo: " + error), qPrintable(said)); // standard error
        QVERIFY2(said.contains("box: ZERBO | " + error), qPrintable(said));
        QCOMPARE(said.count("box: "), 1);
        // Nothing sent, nothing emptied, the value still there to see.
        QVERIFY2(said.contains("when the box shows | wire:  | lblN(65): 065 | txtTime: " + pause),
                 qPrintable(said));
    }
};

int main(int argc, char** argv) {
    return mainPlayingScenarios<PauseBoundTest>(argc, argv, playPause);
}
#include "tst_pause_bound.moc"
