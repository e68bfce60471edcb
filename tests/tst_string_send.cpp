// "Send": the typed text on the line with its pauses, and what the window
// shows during and after the send.
#include "app/option_button.h"
#include "program.h"
#include "serial/comm_control.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray Prompt =
    "You can input your own text here and click the command button 'Send' again.";

// Sends text, the pauses ended with "0000" once the send has opened the port
// (after it applied its minimum pause) so that the test runs fast.
void sendFast(Program& p, const QString& text) {
    p.form.txtS->setText(text);
    QObject::connect(
        &p.zerbo.comTest, &CommControl::portOpenChanged, &p.form,
        [&p](bool open) {
            if (open)
                p.form.txtTime->setText("0000");
        },
        Qt::SingleShotConnection);
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
        QStringList steps; // progress, code shown and bytes on the line at each step
        connect(p.form.prgBar, &QProgressBar::valueChanged, this, [&](int value) {
            wire += p.board.read(200, 20);
            steps << QString("%1 %2 %3").arg(value).arg(p.form.txtO->text(), wire);
        });
        p.form.cmdSend->click();
        QCOMPARE(p.form.txtTime->text(), QString("100"));
        QCOMPARE(steps, QStringList({"1 65 A", "2 66 AB", "0 66 AB"}));
        QCOMPARE(bitRow(p.form), QString("wbwwwwrw"));
        // End state: Ready, except that transmit mode stays selected.
        QVERIFY(p.form.txtS->text().isEmpty() && p.form.txtS->hasFocus());
        QVERIFY(!p.zerbo.comTest.PortOpen() && p.form.optTxD->isChecked());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkOpen->isEnabled());
        QVERIFY(!p.form.chkClosed->isChecked() && !p.form.chkClosed->isEnabled());
        QVERIFY(p.form.cmdCom1->isEnabled() && p.form.cmdSendC->isEnabled());
    }

    // A pause typed during the send takes effect at the next character; a
    // character outside Latin-1 goes out as "?".
    void typedTextAndPause() {
        Program p;
        p.showReady();
        p.form.txtTime->setText("5000");
        QElapsedTimer clock;
        clock.start();
        sendFast(p, QString::fromUtf8("\u20ac\u00e9\u4e2d\U0001F600A"));
        QVERIFY(clock.elapsed() < 5000); // not one pause of 5 s was taken
        QCOMPARE(p.board.read(), QByteArray("\x80\xe9??A"));
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
            if (action == "close")
                p.zerbo.comTest.closePort();
            else
                (action == "slot" ? p.form.optS[90] : static_cast<QAbstractButton*>(p.form.cmdSend))
                    ->click();
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
