// "Send": the typed text on the line, and what the window shows during and after the send.
#include "form/option_button.h"
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
    // typed | on the line | bar:txtO:bytes sent at bar 1, 2 and the end. Tag: what runs before the
    // second character (a slot neither moves the send nor stops it, a Send is ignored). An empty
    // field sends the prompt, shown in txtS meanwhile; beyond 8 bits goes out as "?".
    void textOnTheLine_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("empty") << QStringList{
            "", "You can input your own text here and click the command button 'Send' again.",
            "1:89:1 2:111:2 0:46:75"};
        QTest::newRow("8 bits") << QStringList{"\u20ac\u00e9\u4e2d\U0001F600A",
                                               QString::fromLatin1("\x80\xe9??A"),
                                               "1:128:1 2:233:2 0:65:5"};
        QTest::newRow("slot 90") << QStringList{"ABC", "AZBC", "1:65:1 2:66:3 0:67:4"};
        QTest::newRow("Send") << QStringList{"ABC", "ABC", "1:65:1 2:66:2 0:67:3"};
    }
    void textOnTheLine() {
        QFETCH(QStringList, row);
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
                if (QTest::currentDataTag() == QString("slot 90"))
                    p.form.optS[90]->click();
                else if (QTest::currentDataTag() == QString("Send"))
                    p.form.cmdSend->click();
            });
        });
        // No pauses once the send has opened the port (after applying its minimum).
        connect(
            &p.zerbo.comTest, &CommControl::portOpenChanged, &p.form,
            [&p] { p.form.txtTime->setText("0000"); }, Qt::SingleShotConnection);
        p.form.txtS->setText(row[0]);
        p.form.cmdSend->click();
        QCOMPARE(shownWhileSending, row[0].isEmpty() ? row[1] : row[0]);
        QCOMPARE(wire, row[1].toLatin1());
        QCOMPARE(seen.join(' '), row[2]);
        QVERIFY(p.form.txtS->text().isEmpty() && p.form.txtS->hasFocus()); // Ready, but for TxD
        QVERIFY(!p.zerbo.comTest.PortOpen() && p.form.optTxD->isChecked());
        for (QCheckBox* box : {p.form.chkOpen, p.form.chkClosed})
            QVERIFY(!box->isChecked() && !box->isEnabled());
        QVERIFY(p.form.cmdCom1->isEnabled() && p.form.cmdSendC->isEnabled());
    }
};

QTEST_MAIN(StringSendTest)
#include "tst_string_send.moc"
