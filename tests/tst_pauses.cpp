// SPDX-License-Identifier: GPL-3.0-or-later
// The pauses between bytes, timed where the board reads them. A pause up to 2,000 ms blocks:
// what the user does meanwhile runs at the operation's next step, after the byte that ends the
// pause. No gap is shorter than the pause, not even after a step that ran late. A pause past
// the longest accepted ends the program, so those cases run in a child process.
#include "app/zerbo_application.h"
#include "arrival_log.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "program.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <thread>

namespace {
using Clock = ArrivalLog::Clock;
// The kernel hands each byte to the board's end in a worker thread, which a busy machine delays:
// a byte may be noted this late, and the gap after it look shorter by as much. A gap may also be
// much longer there.
constexpr double EarlyMs = 30;
constexpr double LateMs = 200;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Each gap its pause and not much more, and each byte no earlier than the pauses before it add
// up to (a gap may look short when the byte before it was noted late); 0 means at once.
QString gapsOffTarget(const QList<double>& gaps, const QList<double>& pauses) {
    QStringList off;
    double at = 0, due = 0;
    for (qsizetype i = 0; i < pauses.size(); ++i) {
        const double gap = gaps.value(i, qInf());
        at += gap;
        due += pauses[i];
        if (gap < pauses[i] - EarlyMs || gap > pauses[i] + LateMs || at < due - EarlyMs)
            off << QString("gap %1: %2 ms, the byte at %3 ms").arg(i).arg(gap).arg(at);
    }
    return off.join("; ");
}

enum During { Nothing, NoPauseTyped, Slot90Clicked, StepBusy300 };

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

class PausesTest : public QObject {
    Q_OBJECT

private slots:
    // fill or string | txtTime | what happens meanwhile | on the line | the first gaps at the
    // board, a string's first one from the click. The fill's pause follows its byte; a string's
    // comes before each character. A slot clicked 250 ms into a pause goes out once it ended;
    // "0000" typed after the first character, or a handler busy for 300 ms then, act at the
    // second.
    void gapsAtTheBoard_data() {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<int>("during");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QList<double>>("gaps");
        QTest::newRow("fill, 250")
            << "250" << int(Nothing) << wholeTable() << QList<double>{250, 250, 250, 250};
        // 32 gaps of 12 ms add up to more than the fill's minimum of 10 ms would, even measured.
        QTest::newRow("fill, 12abc")
            << "12abc" << int(Nothing) << wholeTable() << QList<double>(32, 12);
        QTest::newRow("AB, 500") << "500" << int(Nothing) << QByteArray("AB")
                                 << QList<double>{500, 500};
        QTest::newRow("ABC, 500, then 0000")
            << "500" << int(NoPauseTyped) << QByteArray("ABC") << QList<double>{500, 0, 0};
        QTest::newRow("AB, 500, slot 90")
            << "500" << int(Slot90Clicked) << QByteArray("AZB") << QList<double>{500, 500};
        QTest::newRow("ABC, 200, a step 300 ms late")
            << "200" << int(StepBusy300) << QByteArray("ABC") << QList<double>{200, 300, 200};
    }
    void gapsAtTheBoard() {
        QFETCH(QString, pause);
        QFETCH(int, during);
        QFETCH(QByteArray, wire);
        QFETCH(QList<double>, gaps);
        const bool fill = wire == wholeTable(); // else a string sent
        ReadyProgram p;
        p.form.options()->select(p.form.optTxD()); // else Send yields before applying its minimum
        ArrivalLog log(p.board);
        const QByteArray paced = fill ? wire : QByteArray(wire).replace("Z", ""); // not the slot's
        if (!fill)
            p.form.txtS()->setText(QString::fromLatin1(paced));
        p.form.txtTime()->setText(pause);
        // The fill's first gaps are enough: then it runs out without pauses.
        QTimer noMorePauses;
        connect(&noMorePauses, &QTimer::timeout, this, [&] {
            if (log.bytes().size() > gaps.size())
                p.form.txtTime()->setText("0");
        });
        if (fill)
            noMorePauses.start(5);
        if (during == Slot90Clicked)
            later(250, [&] { p.form.slot(90).sendButton->click(); });
        connect(p.form.prgBar(), &QProgressBar::valueChanged, this, [&](int value) {
            if (value == 1) // runs at the step of the second character, before its pause
                later(0, [&] {
                    if (during == NoPauseTyped)
                        p.form.txtTime()->setText("0000");
                    if (during == StepBusy300)
                        std::this_thread::sleep_for(std::chrono::milliseconds(300));
                });
        });
        const Clock::time_point clicked = Clock::now();
        (fill ? p.form.cmdMan() : p.form.cmdSend())->click();
        QCOMPARE(log.bytes(wire.size(), 2000), wire);
        QList<double> measured = log.gapsMs(clicked, paced);
        if (fill) // its first byte goes out once the table is cleared, without a pause
            measured.removeFirst();
        const QString off = gapsOffTarget(measured, gaps);
        QVERIFY2(off.isEmpty(), qPrintable(off));
    }

    // A Stop clicked 1,000 ms into the first pause of "Send sign continuously". Up to 2,000 ms
    // the pause blocks: its byte goes out, the click is handled then (Ready at once, the code
    // still shown) and the send ends one pause later without another byte. Above, the click is
    // handled at once and ends the pause and the send.
    void stopInAContinuousPause_data() {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<bool>("blocks");
        QTest::newRow("2000 blocks") << "2000" << true;
        QTest::newRow("2001 answers") << "2001" << false;
    }
    void stopInAContinuousPause() {
        QFETCH(QString, pause);
        QFETCH(bool, blocks);
        ReadyProgram p;
        ArrivalLog log(p.board);
        p.form.txtO()->setText("65");
        p.form.txtTime()->setText(pause);
        Clock::time_point handled;
        QString shownWhenHandled;
        bool readyWhenHandled = false;
        later(1000, [&] {
            handled = Clock::now();
            p.form.cmdStopC()->click();
            shownWhenHandled = p.form.txtO()->text();
            readyWhenHandled = p.form.cmdSend()->isEnabled() && p.form.cmdMan()->isEnabled();
        });
        const Clock::time_point clicked = Clock::now();
        p.form.cmdSendC()->click();
        const Clock::time_point ended = Clock::now();
        // Nothing after the stop: at most the byte that ended the pause, before the click was
        // handled.
        QCOMPARE(log.bytes(2, 300), QByteArray(int(blocks), 'A'));
        QVERIFY(shownWhenHandled == "65" && readyWhenHandled && p.form.txtO()->text().isEmpty());
        const double handledMs = msBetween(clicked, handled), endedMs = msBetween(clicked, ended);
        if (blocks) { // the byte ends the pause; the stop ends one pause after it
            const double byte = log.gapsMs(clicked, "A").value(0);
            QVERIFY2(byte >= 2000 - EarlyMs && handledMs >= 2000 &&
                         endedMs - byte >= 2000 - EarlyMs && endedMs - byte <= 2000 + LateMs,
                     qPrintable(QString("byte %1, handled %2, ended %3 ms")
                                    .arg(byte)
                                    .arg(handledMs)
                                    .arg(endedMs)));
        } else {
            QVERIFY(handledMs <= 1000 + LateMs && endedMs - handledMs <= LateMs);
        }
    }

    // A pause longer than a signed 32-bit count of milliseconds at the start of "Man": the
    // fill does not start; error 6 on standard error and in one box, then status 1.
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
    return mainPlayingScenarios<PausesTest>(argc, argv, playPause);
}
#include "tst_pauses.moc"
