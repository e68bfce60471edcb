// SPDX-License-Identifier: GPL-3.0-or-later
// The pauses between bytes, timed where the board reads them. A pause up to 2,000 ms blocks:
// what the user does meanwhile runs at the operation's next step, after the byte that ends the
// pause. No gap is shorter than the pause, not even after a step that ran late.
#include "arrival_log.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "program.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <thread>

namespace {
using Clock = ArrivalLog::Clock;
// A busy machine's kernel may hand a byte to the board this late (the gap after it looking
// shorter by as much), and a gap may be this much longer.
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
} // namespace
Q_DECLARE_METATYPE(During)

class PausesTest : public QObject {
    Q_OBJECT

private slots:
    // The first gaps at the board (a string's from the click): the fill's pause follows each byte,
    // a string's precedes each character. A slot clicked 250 ms into a pause goes once it ended;
    // "0000" typed, or a 300 ms step, after the first character acts at the second.
    void gapsAtTheBoard_data() {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<During>("during");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QList<double>>("gaps");
        QTest::newRow("fill, 250")
            << "250" << Nothing << wholeTable() << QList<double>{250, 250, 250, 250};
        // 32 gaps of 12 ms add up to more than the fill's minimum of 10 ms would, even measured.
        QTest::newRow("fill, 12abc") << "12abc" << Nothing << wholeTable() << QList<double>(32, 12);
        QTest::newRow("AB, 500") << "500" << Nothing << QByteArray("AB") << QList<double>{500, 500};
        QTest::newRow("ABC, 500, then 0000")
            << "500" << NoPauseTyped << QByteArray("ABC") << QList<double>{500, 0, 0};
        QTest::newRow("AB, 500, slot 90")
            << "500" << Slot90Clicked << QByteArray("AZB") << QList<double>{500, 500};
        QTest::newRow("ABC, 200, a step 300 ms late")
            << "200" << StepBusy300 << QByteArray("ABC") << QList<double>{200, 300, 200};
    }
    void gapsAtTheBoard() {
        QFETCH(QString, pause);
        QFETCH(During, during);
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
        // Nothing after the stop: at most the byte that ended the pause, before the click.
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
};

QTEST_MAIN(PausesTest)
#include "tst_pauses.moc"
