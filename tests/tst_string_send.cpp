// "Send": the typed text on the line, and what the window shows during and
// after the send. The pauses typed and the longest text are in tst_typed_fields.
#include "app/option_button.h"
#include "program.h"
#include "serial/comm_control.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class StringSendTest : public QObject {
    Q_OBJECT

private slots:
    // An empty field shows the prompt (in txtS during the send) and sends it;
    // a character outside the 8-bit set goes out as "?". What runs between two
    // characters neither moves the send's position nor stops it; a second
    // Send meanwhile is ignored.
    void textOnTheLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("nested"); // what runs before the second character
        QTest::addColumn<QByteArray>("onLine");
        QTest::addColumn<QString>("steps"); // bar : txtO : bytes on the line, at 1, 2 and the end
        const auto row = [](const char* name, const QString& typed, const QString& nested,
                            const QByteArray& onLine, const QString& steps) {
            QTest::newRow(name) << typed << nested << onLine << steps;
        };
        row("empty", "", "",
            "You can input your own text here and click the command button 'Send' again.",
            "1:89:1 2:111:2 0:46:75");
        row("beyond 8 bits", QString::fromUtf8("\u20ac\u00e9\u4e2d\U0001F600A"), "", "\x80\xe9??A",
            "1:128:1 2:233:2 0:65:5");
        row("slot 90 clicked", "ABC", "slot", "AZBC", "1:65:1 2:66:3 0:67:4");
        row("Send clicked again", "ABC", "send", "ABC", "1:65:1 2:66:2 0:67:3");
        row("port closed", "ABC", "close", "ABC", "1:65:1 2:66:2 0:67:3");
    }
    void textOnTheLine() {
        QFETCH(QString, typed);
        QFETCH(QString, nested);
        QFETCH(QByteArray, onLine);
        QFETCH(QString, steps);
        Program p;
        p.showReady();
        QString shownWhileSending;
        QStringList seen;
        QByteArray wire;
        connect(p.form.prgBar, &QProgressBar::valueChanged, this, [&](int value) {
            wire += p.board.read(200, 20);
            if (value <= 2)
                seen << QString("%1:%2:%3").arg(value).arg(p.form.txtO->text()).arg(wire.size());
            if (value != 1)
                return;
            shownWhileSending = p.form.txtS->text();
            later(0, [&] { // runs at the yield before the second character
                if (nested == "close")
                    p.zerbo.comTest.closePort();
                else if (nested != "")
                    (nested == "slot" ? p.form.optS[90]
                                      : static_cast<QAbstractButton*>(p.form.cmdSend))
                        ->click();
            });
        });
        // No pauses once the send has opened the port (after applying its minimum).
        connect(
            &p.zerbo.comTest, &CommControl::portOpenChanged, &p.form,
            [&p] { p.form.txtTime->setText("0000"); }, Qt::SingleShotConnection);
        p.form.txtS->setText(typed);
        p.form.cmdSend->click();
        QCOMPARE(shownWhileSending, typed.isEmpty() ? QString::fromLatin1(onLine) : typed);
        QCOMPARE(wire, onLine);
        QCOMPARE(seen.join(' '), steps);
        // Ready, except that transmit mode stays selected.
        QVERIFY(p.form.txtS->text().isEmpty() && p.form.txtS->hasFocus());
        QVERIFY(!p.zerbo.comTest.PortOpen() && p.form.optTxD->isChecked());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkOpen->isEnabled());
        QVERIFY(!p.form.chkClosed->isChecked() && !p.form.chkClosed->isEnabled());
        QVERIFY(p.form.cmdCom1->isEnabled() && p.form.cmdSendC->isEnabled());
    }
};

QTEST_MAIN(StringSendTest)
#include "tst_string_send.moc"
