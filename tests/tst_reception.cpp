// Start-up and the reception of the board's table over a pseudo-terminal:
// however the bytes are grouped on the line, every code lands in its slot.
#include "base/charset.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "form/window_position.h"
#include "program.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class ReceptionTest : public QObject {
    Q_OBJECT

    // Every code in its slot, and the Ready state after reception.
    static void verifyCompleteTable(Program& p) {
        FrmAscii& form = p.form;
        QCOMPARE(numberedSlots(form), 256);
        QCOMPARE(form.txtN[0]->text(), QString()); // slot 0 is numbered but shows no character
        for (int i = 1; i < 256; ++i)
            QCOMPARE(form.txtN[i]->text(), textFromByte(static_cast<unsigned char>(i)));
        QCOMPARE(form.txtO->text(), QString("255"));
        QCOMPARE(bitRow(form), QString("bbrrrrrr"));
        QCOMPARE(p.zerbo.comTest.PortOpen(), false);
        QVERIFY(!form.chkOpen->isChecked() && form.chkClosed->isChecked());
        QVERIFY(form.cmdCom1->isEnabled() && form.cmdMan->isEnabled() && form.optS[9]->isEnabled());
    }

private slots:
    void startupTakesTheTableHoweverGrouped_data() {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::newRow("one write") << QList<QByteArray>{wholeTable()};
        QList<QByteArray> single;
        for (int code = 0; code < 256; ++code)
            single << QByteArray(1, char(code));
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
        onceWaiting(p, [&] {
            feeder.start(); // first, so that a failing check cannot leave start-up waiting
            // Shown, and the user can leave but start nothing else meanwhile.
            QVERIFY(p.form.isVisible() && p.form.cmdExit->isEnabled());
            QVERIFY(!p.form.cmdCom1->isEnabled() && !p.form.optS[0]->isEnabled());
        });
        p.zerbo.Form_Load();
        verifyCompleteTable(p);
        QCOMPARE(p.form.cmbFontSize->count(), 9); // start-up went on once the table was in
        QCOMPARE(windowPosition(p.form), QPointF(1005, 1005)); // 1000 twips, to the pixel
    }

    // Transmit mode chosen while start-up waits: the outer reception still takes
    // the table; afterwards the Ready state allows a new reception.
    void transmitModeNestedInAWaitingReceptionThenANewReception() {
        Program p;
        onceWaiting(p, [&] {
            p.board.write(wholeTable()); // read only once the outer reception waits again
            QTest::mouseClick(p.form.optTxD, Qt::LeftButton);
            p.form.cmdCom1->click();
            // Ready to send, and the outer reception still listens.
            QVERIFY(p.form.optS[7]->isEnabled() && p.zerbo.comTest.PortOpen());
        });
        p.zerbo.Form_Load();
        verifyCompleteTable(p);
        p.form.cmdCom1->click(); // without a mode: nothing happens
        QCOMPARE(numberedSlots(p.form), 256);
        QCOMPARE(p.zerbo.comTest.PortOpen(), false);
        QTest::mouseClick(p.form.optRxD, Qt::LeftButton);
        onceWaiting(p, [&] {
            p.board.write(wholeTable());
            QCOMPARE(numberedSlots(p.form), 0); // emptied before waiting
        });
        p.form.cmdCom1->click();
        verifyCompleteTable(p);
    }
};

QTEST_MAIN(ReceptionTest)
#include "tst_reception.moc"
