// "Send": the typed text on the line with its pauses, and what the window
// shows during and after the send.
#include "app/control_states.h"
#include "app/option_button.h"
#include "program.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray Prompt =
    "You can input your own text here and click the command button 'Send' again.";

// Sends text, the pauses ended with "0000" at the send's first yield (after
// it applied its minimum pause) so that the test runs fast.
void sendFast(Program& p, const QString& text) {
    p.form.txtS->setText(text);
    later(0, [&p] { p.form.txtTime->setText("0000"); });
    p.form.cmdSend->click();
}
} // namespace

class StringSendTest : public QObject {
    Q_OBJECT

private slots:
    void twoLettersWithDefaultPause() {
        Program p;
        p.showReady();
        p.form.txtS->setText("AB");
        p.form.txtTime->clear();
        QByteArray wire;
        std::vector<int> progress;
        std::vector<QString> codes;
        std::vector<QByteArray> onLine;
        connect(p.form.prgBar, &QProgressBar::valueChanged, this, [&](int value) {
            wire += p.board.read(200, 20);
            progress.push_back(value);
            codes.push_back(p.form.txtO->text());
            onLine.push_back(wire);
        });
        p.form.cmdSend->click();
        QCOMPARE(p.form.txtTime->text(), QString("100"));
        QCOMPARE(progress, (std::vector<int>{1, 2, 0}));
        QCOMPARE(codes, (std::vector<QString>{"65", "66", "66"}));
        QCOMPARE(onLine, (std::vector<QByteArray>{"A", "AB", "AB"}));
        QCOMPARE(bitRow(p.form), QString("wbwwwwrw"));
        // End state: Ready, except that transmit mode stays selected.
        QVERIFY(p.form.txtS->text().isEmpty() && p.form.txtS->hasFocus());
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QVERIFY(p.form.optTxD->isChecked() && !p.form.optRxD->isChecked());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkOpen->isEnabled());
        QVERIFY(!p.form.chkClosed->isChecked() && !p.form.chkClosed->isEnabled());
        for (QPushButton* command : {p.form.cmdCom1, p.form.cmdSend, p.form.cmdSendC})
            QVERIFY(command->isEnabled());
    }

    void pauseTypedDuringTheSendTakesEffect() {
        Program p;
        p.showReady();
        p.form.txtTime->setText("5000");
        QElapsedTimer clock;
        clock.start();
        sendFast(p, "ABCD");
        QVERIFY(clock.elapsed() < 5000); // not one pause of 5 s was taken
        QCOMPARE(p.board.read(), QByteArray("ABCD"));
    }

    void emptyFieldSendsThePrompt() {
        Program p;
        p.showReady();
        QString shown;
        connect(p.form.prgBar, &QProgressBar::valueChanged, this, [&](int value) {
            if (value == 1)
                shown = p.form.txtS->text();
        });
        sendFast(p, "");
        QCOMPARE(shown, QString::fromLatin1(Prompt));
        QCOMPARE(p.board.read(), Prompt);
        QVERIFY(p.form.txtS->text().isEmpty());
    }

    // What runs between two characters neither moves the send's position nor
    // stops it; a second Send meanwhile is ignored.
    void nestedOperationBetweenCharacters_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("onLine");
        QTest::newRow("slot 90 clicked") << "slot" << QByteArray("AZBC");
        QTest::newRow("Send clicked again") << "send" << QByteArray("ABC");
        QTest::newRow("port closed") << "close" << QByteArray("ABC");
    }
    void nestedOperationBetweenCharacters() {
        QFETCH(QString, action);
        QFETCH(QByteArray, onLine);
        Program p;
        p.showReady();
        auto nested = [&] {
            if (action == "slot")
                p.form.optS[90]->click();
            else if (action == "send")
                p.form.cmdSend->click();
            else
                p.zerbo.comTest.closePort();
        };
        connect(p.form.prgBar, &QProgressBar::valueChanged, this, [&](int value) {
            if (value == 1)
                later(0, nested); // runs at the yield before the second character
        });
        sendFast(p, "ABC");
        QCOMPARE(p.board.read(), onLine);
        QCOMPARE(p.form.txtO->text(), QString("67"));
        QVERIFY(!p.zerbo.comTest.PortOpen());
    }

    void charactersOutsideLatinGoOutAsQuestionMarks() {
        Program p;
        p.showReady();
        sendFast(p, QString::fromUtf8("\u20ac\u00e9\u4e2d\U0001F600A"));
        QCOMPARE(p.board.read(), QByteArray("\x80\xe9??A"));
    }

    void longTextProgressStaysOnTheBar() {
        Program p;
        p.showReady();
        std::vector<int> progress;
        connect(p.form.prgBar, &QProgressBar::valueChanged, this,
                [&](int value) { progress.push_back(value); });
        sendFast(p, QString(200, QChar('x')));
        QCOMPARE(p.board.read(500).size(), 200);
        QVERIFY(std::is_sorted(progress.begin(), progress.end() - 1));
        QCOMPARE(progress.end()[-2], 78);
        QCOMPARE(progress.back(), 0);
    }
};

QTEST_MAIN(StringSendTest)
#include "tst_string_send.moc"
