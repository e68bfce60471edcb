// The table without a board: the local fill, the control-code names, and the reset.
#include "base/charset.h"
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/slot_style.h"
#include "program.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class TableOperationsTest : public QObject {
    Q_OBJECT

    // Runs the fill with its pauses emptied once it has started, so that it runs at once.
    static void fill(Program& p) {
        later(0, [&] {
            QVERIFY(!p.form.cmdMan->isEnabled()); // no second fill inside this one
            p.form.txtTime->clear();
        });
        p.form.cmdMan->click();
    }

    // Slot i's text and font size, as "A/16".
    static QString shown(Program& p, int i) {
        return p.form.txtN[i]->text() + "/" + QString::number(p.form.txtN[i]->font().pointSizeF());
    }

    // Clicks "names of the control codes"; what slots 0, 9, 13, 32 and 33 show then.
    static QString names(Program& p) {
        QTest::mouseClick(p.form.chkA, Qt::LeftButton);
        return shown(p, 0) + " " + shown(p, 9) + " " + shown(p, 13) + " " + shown(p, 32) + " " +
               shown(p, 33);
    }

private slots:
    // The fill puts every code on the line and in the table. Slots 0 to 32 get their names and
    // the small font, on an empty table and over a filled one; the rest stays.
    void fillAndControlCodeNames() {
        Program p;
        p.showReady(); // as after start-up without a board: nothing received
        QCOMPARE(names(p), QString("NUL/10 HTB/10 CR/10 SP/10 /9.75"));
        QCOMPARE(numberedSlots(p.form), 33);
        fill(p);
        QCOMPARE(p.board.read(500), wholeTable());
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(shown(p, i), textFromByte(static_cast<unsigned char>(i)) + "/16");
        QCOMPARE(p.form.txtO->text() + " " + bitRow(p.form), QString("255 bbrrrrrr"));
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
        p.form.cmdNew->click(); // leaves the port and the pause alone
        QCOMPARE(numberedSlots(p.form), 0);
        for (int i = 0; i < 256; ++i)
            QVERIFY(shown(p, i) == "/10" && background(p.form.txtN[i]) == White);
        QCOMPARE(bitRow(p.form) + p.form.txtO->text() + p.form.txtS->text(), QString("wwwwwwww"));
        QCOMPARE(p.form.txtTime->text() + " " + p.form.txtN[287]->text(), QString("123 NUL"));
        QVERIFY(p.zerbo.comTest.PortOpen() && !p.form.chkOpen->isChecked() &&
                !p.form.chkClosed->isChecked() && !p.form.prgBar->isHidden());
    }
};

QTEST_MAIN(TableOperationsTest)
#include "tst_table_operations.moc"
