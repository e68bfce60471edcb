// "Send current sign continuously" and "Stop sending the sign": the repeated
// byte on the line, the code changed or rejected while it runs, and the stop.
#include "app/control_states.h"
#include "app/form_style.h"
#include "app/option_button.h"
#include "app/program_state.h"
#include "dialogs.h"
#include "program.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
const QString Rejected =
    "Input an Integer-Number between 0 bis 255 and push the Command Button again ";

bool allBytes(const QByteArray& bytes, int code) {
    return !bytes.isEmpty() &&
           std::all_of(bytes.begin(), bytes.end(), [code](char b) { return uchar(b) == code; });
}
} // namespace

class ContinuousSendTest : public QObject {
    Q_OBJECT

    static void ready(Program& p, const QString& code, const QString& pause) {
        p.showReady();
        p.form.txtO->setText(code);
        p.form.txtTime->setText(pause);
    }

    // Runs the action at a yield of the send once the board has received at
    // least n more bytes into wire (or after about a second, so a test that
    // fails still reaches its stop). Bytes still in flight are collected first.
    static void afterBytes(Program& p, QByteArray& wire, int n, std::function<void()> action) {
        const qsizetype target = wire.size() + n;
        auto poll = std::make_shared<std::function<void(int)>>();
        *poll = [&p, &wire, target, action, poll](int triesLeft) {
            wire += p.board.read(10, 2);
            if (wire.size() >= target || triesLeft == 0) {
                wire += p.board.read(50, 20);
                action();
                *poll = nullptr; // breaks the cycle
            } else {
                later(5, [poll, triesLeft] { (*poll)(triesLeft - 1); });
            }
        };
        later(0, [poll] { (*poll)(200); });
    }

    // Runs the action at the first yield after the send opened the port, that
    // is after it checked its fields.
    static void onceSending(Program& p, std::function<void()> action) {
        later(0, [&p, action] {
            if (p.zerbo.comTest.PortOpen())
                action();
            else
                onceSending(p, action);
        });
    }

    static void stop(Program& p) { p.form.cmdStopC->click(); }

private slots:
    void repeatsTheCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("pause");
        QTest::addColumn<QString>("codeShown");
        QTest::addColumn<QString>("pauseShown");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QString>("bits");
        QTest::newRow("defaults") << ""
                                  << ""
                                  << "141"
                                  << "50" << 141 << "bwwwrrwr";
        QTest::newRow("short pause") << "0"
                                     << "10"
                                     << "0"
                                     << "50" << 0 << "wwwwwwww";
        QTest::newRow("255") << "255"
                             << "120"
                             << "255"
                             << "120" << 255 << "bbrrrrrr";
        QTest::newRow("65.5 rounds up") << "65.5"
                                        << "50"
                                        << "65.5"
                                        << "50" << 66 << "wbwwwwrw";
        QTest::newRow("66.5 rounds down") << "66.5"
                                          << "50"
                                          << "66.5"
                                          << "50" << 66 << "wbwwwwrw";
    }
    void repeatsTheCode() {
        QFETCH(QString, code);
        QFETCH(QString, pause);
        QFETCH(QString, codeShown);
        QFETCH(QString, pauseShown);
        QFETCH(int, sent);
        QFETCH(QString, bits);
        Program p;
        ready(p, code, pause);
        QString codeAtStart, pauseAtStart, bitsWhileSending;
        bool slotGreen = false;
        QByteArray wire;
        onceSending(p, [&] {
            codeAtStart = p.form.txtO->text();
            pauseAtStart = p.form.txtTime->text();
            p.form.txtTime->setText("1");
            afterBytes(p, wire, 3, [&] {
                bitsWhileSending = bitRow(p.form);
                slotGreen = background(p.form.txtN[sent]) == Green;
                stop(p);
            });
        });
        p.form.cmdSendC->click();
        QCOMPARE(codeAtStart, codeShown);
        QCOMPARE(pauseAtStart, pauseShown);
        QVERIFY(wire.size() >= 3);
        QVERIFY(allBytes(wire, sent));
        QCOMPARE(bitsWhileSending, bits);
        QVERIFY(slotGreen);
    }

    void slotPickedWhileSendingChangesTheByte() {
        Program p;
        ready(p, "141", "1");
        QByteArray before, after;
        afterBytes(p, before, 3, [&] {
            p.form.optS[65]->click(); // sends 'A' once itself
            afterBytes(p, after, 3, [&] { stop(p); });
        });
        p.form.cmdSendC->click();
        QVERIFY(allBytes(before, 141));
        QVERIFY(allBytes(after, 'A'));
        QCOMPARE(background(p.form.txtN[65]), Green);
        QCOMPARE(background(p.form.txtN[141]), White);
    }

    void codeRejected_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("256") << "256";
        QTest::newRow("-1") << "-1";
        QTest::newRow("empty") << "";
    }
    void codeRejected() {
        QFETCH(QString, typed);
        Program p;
        ready(p, "65", "1");
        MessageBoxAnswerer answerer;
        QByteArray wire;
        afterBytes(p, wire, 2, [&] { p.form.txtO->setText(typed); });
        p.form.cmdSendC->click();
        QCOMPARE(answerer.count(), 1);
        QCOMPARE(answerer.lastTitle(), QString("ZERBO"));
        QCOMPARE(answerer.lastText(), Rejected);
        QCOMPARE(p.board.read(100), QByteArray()); // nothing after the bad code
        QCOMPARE(background(p.form.txtO), Red);
        // The window's focus field (offscreen, the window is not activated again).
        QCOMPARE(p.form.focusWidget(), p.form.txtO);
        // Still in the sending state: correct the code and send again, or stop.
        QVERIFY(p.form.optSendC->isChecked());
        QVERIFY(!p.form.cmdSend->isEnabled() && !p.form.cmdCom1->isEnabled());
        QVERIFY(p.form.cmdSendC->isEnabled() && p.form.cmdStopC->isEnabled());
        QVERIFY(p.form.prgBar->isHidden());
        stop(p);
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QCOMPARE(background(p.form.txtO), White);
    }

    void stopEndsTheSendWithoutAnotherByte() {
        Program p;
        ready(p, "65", "1");
        QByteArray wire;
        bool readyAtOnce = false;
        afterBytes(p, wire, 3, [&] {
            stop(p);
            readyAtOnce = p.form.cmdSend->isEnabled() && p.form.cmdMan->isEnabled();
        });
        p.form.cmdSendC->click();
        QVERIFY(readyAtOnce);
        QVERIFY(allBytes(wire, 'A'));
        QCOMPARE(p.board.read(100), QByteArray());
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QVERIFY(!p.form.optSendC->isChecked() && !p.form.optTxD->isChecked());
        QVERIFY(p.form.txtO->text().isEmpty());
        QCOMPARE(background(p.form.txtO), White);
        QCOMPARE(bitRow(p.form), QString("wwwwwwww"));
        QVERIFY(p.form.prgBar->isVisible() && p.form.prgBar->value() == 0);
        QCOMPARE(p.zerbo.state.StopSending, qint16(0));
        QCOMPARE(background(p.form.txtN[65]), Green); // the last code sent stays marked
    }

    void secondClickStartsNoSecondLoop() {
        Program p;
        ready(p, "66", "1");
        MessageBoxAnswerer answerer;
        QByteArray wire;
        afterBytes(p, wire, 2, [&] {
            p.form.cmdSendC->click();
            afterBytes(p, wire, 2, [&] { stop(p); });
        });
        p.form.cmdSendC->click();
        QCOMPARE(answerer.count(), 0);
        QVERIFY(allBytes(wire, 'B'));
        QCOMPARE(p.board.read(100), QByteArray());
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QVERIFY(p.form.txtO->text().isEmpty());
    }

    void stopWithNothingRunning() {
        Program p;
        ready(p, "70", "");
        p.zerbo.comTest.openSequence(8); // left open by a slot click
        setBackground(p.form.txtO, Red);
        p.form.prgBar->hide();
        stop(p);
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QCOMPARE(background(p.form.txtO), White);
        QVERIFY(p.form.prgBar->isVisible());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QVERIFY(p.form.cmdSend->isEnabled() && p.form.optS[0]->isEnabled());

        // The request left behind does not stop the next send at once.
        QByteArray wire;
        onceSending(p, [&] {
            p.form.txtTime->setText("1");
            afterBytes(p, wire, 2, [&] { stop(p); });
        });
        p.form.cmdSendC->click();
        QVERIFY(wire.size() >= 2);
        QVERIFY(allBytes(wire, 70));
    }
};

QTEST_MAIN(ContinuousSendTest)
#include "tst_continuous_send.moc"
