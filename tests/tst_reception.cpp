// Start-up and the reception of the board's table over a pseudo-terminal:
// however the bytes are grouped on the line, every code lands in its slot.
#include "app/option_button.h"
#include "app/pick_combo.h"
#include "program.h"
#include "table/charset.h"
#include "view/window_position.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class ReceptionTest : public QObject {
    Q_OBJECT

    static QByteArray codes(int from, int to) { return wholeTable().mid(from, to - from + 1); }

    static void verifyCompleteTable(Program& p) {
        FrmAscii& form = p.form;
        QCOMPARE(numberedSlots(form), 256);
        QCOMPARE(form.txtN[0]->text(), QString()); // slot 0 is numbered but shows no character
        for (int i = 1; i < 256; ++i)
            QCOMPARE(form.txtN[i]->text(), textFromByte(static_cast<unsigned char>(i)));
        QCOMPARE(form.txtO->text(), QString("255"));
        QCOMPARE(bitRow(form), QString("bbrrrrrr"));
        QCOMPARE(p.zerbo.comTest.PortOpen(), false);
        // The Ready state after reception.
        QVERIFY(!form.chkOpen->isChecked() && form.chkClosed->isChecked());
        QVERIFY(!form.chkClosed->isEnabled() && form.chkA->isEnabled());
        QVERIFY(!form.optRxD->isChecked() && !form.optTxD->isChecked());
        QVERIFY(form.cmdCom1->isEnabled() && form.cmdMan->isEnabled() && form.optS[9]->isEnabled());
    }

private slots:
    void startupTakesTheTableHoweverGrouped_data() {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::newRow("one write") << QList<QByteArray>{wholeTable()};
        QTest::newRow("first read of several") << QList<QByteArray>{codes(0, 3), codes(4, 255)};
        QTest::newRow("254 and 255 together") << QList<QByteArray>{codes(0, 253), codes(254, 255)};
        QList<QByteArray> single;
        for (int code = 0; code < 256; ++code)
            single << codes(code, code);
        QTest::newRow("byte by byte") << single;
    }
    void startupTakesTheTableHoweverGrouped() {
        QFETCH(QList<QByteArray>, reads);
        Program p;
        // One chunk every few milliseconds, so that each arrives as a read of its own.
        qsizetype next = 0;
        QTimer feeder;
        feeder.setInterval(2);
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            if (next < reads.size())
                p.board.write(reads[next++]);
        });
        bool waited = false;
        onceWaiting(p, [&] {
            feeder.start(); // first, so that a failing check cannot leave start-up waiting
            FrmAscii& form = p.form;
            QVERIFY(form.isVisible() && form.optRxD->isChecked());
            QVERIFY(form.chkOpen->isChecked() && form.chkOpen->isEnabled());
            QVERIFY(!form.chkClosed->isChecked() && form.cmdExit->isEnabled());
            QVERIFY(!form.cmdCom1->isEnabled() && !form.cmdSend->isEnabled());
            QVERIFY(!form.optS[0]->isEnabled() && !form.chkA->isEnabled());
            QCOMPARE(form.cmbFontSize->count(), 0);
            QCOMPARE(form.geometry().topLeft(), QPoint(70, 89)); // the design position
            QCOMPARE(form.txtN[5]->font().pointSizeF(), 14.0);
            waited = true;
        });
        p.zerbo.Form_Load();
        QVERIFY(waited);
        verifyCompleteTable(p);
        // Start-up completes once the table is in.
        QCOMPARE(p.form.cmbFontSize->count(), 9);
        QCOMPARE(p.form.cmbFontColor->currentText(), QString("black"));
        QCOMPARE(windowPosition(p.form), QPointF(1005, 1005)); // 1000 twips, to the pixel
        QCOMPARE(p.form.txtLeft->text(), QString("1005"));
    }

    void transmitModeNestedInAWaitingReception() {
        Program p;
        onceWaiting(p, [&] {
            p.board.write(wholeTable()); // read only once the outer reception waits again
            QTest::mouseClick(p.form.optTxD, Qt::LeftButton);
            // The mode switch clears the indicators; Send-ready sets them again.
            QVERIFY(p.form.cmdCom1->isEnabled() && !p.form.chkOpen->isChecked());
            p.form.cmdCom1->click();
            QVERIFY(p.form.optTxD->isChecked() && p.form.chkOpen->isChecked());
            QVERIFY(p.form.optS[7]->isEnabled());
            QVERIFY(p.zerbo.comTest.PortOpen()); // the outer reception still listens
        });
        p.zerbo.Form_Load();
        verifyCompleteTable(p);
    }

    void localFillNestedInAWaitingReceptionEndsItSilently() {
        Program p;
        onceWaiting(p, [&] {
            QTest::mouseClick(p.form.optTxD, Qt::LeftButton);
            later(30, [&] { p.form.txtTime->setText("0000"); }); // speed the fill up
            p.form.cmdMan->click();
        });
        p.zerbo.Form_Load();
        QCOMPARE(p.board.read(500), wholeTable());
        // The fill's Ready state stays: both indicators unchecked, the port closed.
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QCOMPARE(p.zerbo.comTest.PortOpen(), false);
        QCOMPARE(numberedSlots(p.form), 256);
        QCOMPARE(p.form.txtN[0]->text(), textFromByte(0)); // filled by the fill, not received
        QCOMPARE(p.form.cmbFontSize->count(), 9);          // start-up went on
    }

    void readyStateAllowsANewReception() {
        Program p;
        p.startWithTable();
        p.form.cmdCom1->click(); // without a mode: nothing happens
        QCOMPARE(numberedSlots(p.form), 256);
        QCOMPARE(p.zerbo.comTest.PortOpen(), false);
        QTest::mouseClick(p.form.optRxD, Qt::LeftButton);
        onceWaiting(p, [&] {
            QCOMPARE(numberedSlots(p.form), 0); // emptied before waiting
            p.board.write(wholeTable());
        });
        p.form.cmdCom1->click();
        verifyCompleteTable(p);
    }
};

QTEST_MAIN(ReceptionTest)
#include "tst_reception.moc"
