// The table without a board: the local fill (what the user sees and what
// leaves the port), the control-code names, and the reset.
#include "app/form_style.h"
#include "app/option_button.h"
#include "program.h"
#include "table/charset.h"
#include "table/slot_style.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class TableOperationsTest : public QObject {
    Q_OBJECT

    // Runs the fill with its pauses emptied once it has started, so that it
    // runs at once.
    static void fill(Program& p) {
        later(0, [&] {
            QVERIFY(!p.form.cmdMan->isEnabled()); // no second fill inside this one
            p.form.txtTime->clear();
        });
        p.form.cmdMan->click();
    }

    // Clicks "names of the control codes"; what slots 0, 9, 13, 32 and 33 show
    // then, and in which size.
    static QString names(Program& p) {
        QTest::mouseClick(p.form.chkA, Qt::LeftButton);
        QStringList shown;
        for (int i : {0, 9, 13, 32, 33})
            shown << p.form.txtN[i]->text() + "/" +
                         QString::number(p.form.txtN[i]->font().pointSizeF());
        return shown.join(' ');
    }

private slots:
    // The fill puts every code on the line and in the table. Slots 0 to 32
    // get their names, numbers and the small font, on an empty table and over
    // a filled one; the rest stays.
    void fillAndControlCodeNames() {
        Program p;
        p.showReady(); // as after start-up without a board: nothing received
        QCOMPARE(names(p), QString("NUL/10 HTB/10 CR/10 SP/10 /9.75"));
        QCOMPARE(numberedSlots(p.form), 33);
        QCOMPARE(p.form.txtN[290]->text(), QString("Space  (Blank)")); // legend unchanged
        fill(p);
        QCOMPARE(p.board.read(500), wholeTable());
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(p.form.txtN[i]->text(), textFromByte(static_cast<unsigned char>(i)));
            QCOMPARE(p.form.txtN[i]->font().pointSizeF(), 16.0);
        }
        QCOMPARE(p.form.txtO->text(), QString("255"));
        QCOMPARE(bitRow(p.form), QString("bbrrrrrr"));
        QVERIFY(!p.form.optTxD->isChecked() && !p.form.optRxD->isChecked());
        QVERIFY(p.form.cmdMan->isEnabled() && p.form.optS[100]->isEnabled());
        p.form.optS[40]->setEnabled(false);
        markCurrentSlot(p.form, 20);
        setBackground(p.form.txtN[65], Green);
        QCOMPARE(names(p), QString("NUL/10 HTB/10 CR/10 SP/10 !/16"));
        QVERIFY(!p.form.optS[40]->isEnabled());       // slot buttons keep their state
        QCOMPARE(background(p.form.txtN[20]), White); // the green mark of a named slot goes
        QCOMPARE(background(p.form.txtN[65]), Green); // beyond 32 it stays
        QVERIFY(!p.form.chkA->isChecked());
    }

    void resetEmptiesEverythingButTheLine() {
        Program p;
        p.showReady();
        fill(p);
        p.zerbo.comTest.openSequence(8);
        p.form.txtS->setText("typed");
        p.form.txtTime->setText("123");
        markCurrentSlot(p.form, 200);
        p.form.cmdNew->click();
        QCOMPARE(numberedSlots(p.form), 0);
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(p.form.txtN[i]->text(), QString());
            QCOMPARE(p.form.txtN[i]->font().pointSizeF(), 10.0);
            QCOMPARE(background(p.form.txtN[i]), White);
        }
        QCOMPARE(bitRow(p.form), QString("wwwwwwww"));
        QCOMPARE(p.form.txtO->text() + p.form.txtS->text(), QString());
        QCOMPARE(p.form.txtTime->text(), QString("123"));
        QVERIFY(p.zerbo.comTest.PortOpen()); // the reset leaves the port alone
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QVERIFY(!p.form.prgBar->isHidden());
        QCOMPARE(p.zerbo.state.StopSending, qint16(1));
        QCOMPARE(p.form.txtN[287]->text(), QString("NUL"));
    }
};

QTEST_MAIN(TableOperationsTest)
#include "tst_table_operations.moc"
