// "Send current sign continuously" and "Stop sending the sign": the repeated
// byte on the line, the code changed or rejected while it runs, and the stop.
#include "app/control_states.h"
#include "app/form_style.h"
#include "app/option_button.h"
#include "dialogs.h"
#include "program.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
bool allBytes(const QByteArray& bytes, int code) {
    return !bytes.isEmpty() &&
           std::all_of(bytes.begin(), bytes.end(), [code](char b) { return uchar(b) == code; });
}

void ready(Program& p, const QString& code) {
    p.showReady();
    p.form.txtO->setText(code);
}

// Runs the action at a yield of the send once the board has received n more
// bytes into wire (or after 2 s, so that a failing test still reaches its
// stop). Bytes still in flight are collected first.
void afterBytes(Program& p, QByteArray& wire, int n, std::function<void()> action) {
    const qsizetype target = wire.size() + n;
    const QDeadlineTimer deadline(2000);
    waitUntil(
        [&p, &wire, target, deadline] {
            return (wire += p.board.read(10, 2)).size() >= target || deadline.hasExpired();
        },
        [&p, &wire, action] {
            wire += p.board.read(50, 20);
            action();
        });
}

void stop(Program& p) {
    p.form.cmdStopC->click();
}
} // namespace

class ContinuousSendTest : public QObject {
    Q_OBJECT

private slots:
    // The code is repeated until a slot picked meanwhile replaces it.
    void repeatsTheCodeUntilASlotIsPicked_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QString>("bits");
        QTest::newRow("defaults") << ""
                                  << "141" << 141 << "bwwwrrwr";
        QTest::newRow("255") << "255"
                             << "255" << 255 << "bbrrrrrr";
        QTest::newRow("65.5") << "65.5"
                              << "65.5" << 66 << "wbwwwwrw";
    }
    void repeatsTheCodeUntilASlotIsPicked() {
        QFETCH(QString, code);
        QFETCH(QString, shown);
        QFETCH(int, sent);
        QFETCH(QString, bits);
        Program p;
        ready(p, code);
        QString shownWhileSending, bitsWhileSending;
        QByteArray before, after;
        afterBytes(p, before, 3, [&] {
            shownWhileSending = p.form.txtO->text();
            bitsWhileSending = bitRow(p.form);
            p.form.optS[65]->click(); // sends 'A' once itself
            afterBytes(p, after, 3, [&] { stop(p); });
        });
        p.form.cmdSendC->click();
        QCOMPARE(shownWhileSending, shown);
        QCOMPARE(p.form.txtTime->text(), QString("50"));
        QVERIFY(before.size() >= 3 && allBytes(before, sent));
        QCOMPARE(bitsWhileSending, bits);
        QVERIFY(after.size() >= 3 && allBytes(after, 'A'));
        QCOMPARE(background(p.form.txtN[65]), Green);
        QCOMPARE(background(p.form.txtN[sent]), White);
    }

    // "1e400" ms is a pause of 24 days: the window stays alive during it, and
    // a click on Stop ends the send at once, before another byte.
    void stopDuringAnEndlessPause() {
        Program p;
        ready(p, "67");
        QByteArray wire;
        qsizetype sentBeforePause = -1;
        afterBytes(p, wire, 2, [&] {
            p.form.txtTime->setText("1e400");
            sentBeforePause = wire.size();
            later(200, [&] { stop(p); });
        });
        p.form.cmdSendC->click();
        wire += p.board.read(100);
        QCOMPARE(wire.size(), sentBeforePause);
        QVERIFY(allBytes(wire, 'C'));
        QVERIFY(!p.form.optSendC->isChecked() && !p.zerbo.comTest.PortOpen());
    }

    // A stop with nothing running closes the port a slot click left open and
    // leaves no request behind; a second click starts no second loop, so one
    // stop ends the send at once.
    void stopBeforeAndAfterASend() {
        Program p;
        ready(p, "66");
        p.zerbo.comTest.openSequence(8);
        setBackground(p.form.txtO, Red);
        p.form.prgBar->hide();
        stop(p);
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QVERIFY(background(p.form.txtO) == White && p.form.prgBar->isVisible());
        MessageBoxAnswerer answerer;
        QByteArray wire;
        bool readyAtOnce = false;
        afterBytes(p, wire, 2, [&] {
            p.form.cmdSendC->click();
            afterBytes(p, wire, 2, [&] {
                stop(p);
                readyAtOnce = p.form.cmdSend->isEnabled() && p.form.cmdMan->isEnabled();
            });
        });
        p.form.cmdSendC->click();
        QVERIFY(readyAtOnce);
        QCOMPARE(answerer.count(), 0);
        QVERIFY(wire.size() >= 4 && allBytes(wire, 'B'));
        QCOMPARE(p.board.read(100), QByteArray());
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QVERIFY(!p.form.optSendC->isChecked() && p.form.txtO->text().isEmpty());
        QCOMPARE(bitRow(p.form), QString("wwwwwwww"));
        QCOMPARE(background(p.form.txtN[66]), Green); // the last code sent stays marked
    }
};

QTEST_MAIN(ContinuousSendTest)
#include "tst_continuous_send.moc"
