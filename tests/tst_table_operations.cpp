// The table without a board: the local fill (what the user sees and what
// leaves the port), the control-code names, and the reset.
#include "app/control_states.h"
#include "app/form_style.h"
#include "app/option_button.h"
#include "program.h"
#include "table/charset.h"
#include "table/control_codes.h"
#include "table/slot_style.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class TableOperationsTest : public QObject {
    Q_OBJECT

    // A program after start-up without a board: the Ready state, nothing received.
    static void ready(Program& p) { enterState(p.form, ControlState::Ready); }

    // Runs the fill with its pauses emptied once it has started, so that it
    // runs at once.
    static void fill(Program& p) {
        later(0, [&] {
            QVERIFY(!p.form.cmdMan->isEnabled()); // no second fill inside this one
            p.form.txtTime->clear();
        });
        p.form.cmdMan->click();
    }

private slots:
    void fillPutsEveryCodeOnTheLineAndInTheTable() {
        Program p;
        ready(p);
        p.zerbo.comTest.openSequence(8); // left open by an earlier slot click
        fill(p);
        QCOMPARE(p.board.read(500), wholeTable());
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(p.form.txtN[i]->text(), textFromByte(static_cast<unsigned char>(i)));
            QCOMPARE(p.form.txtN[i]->font().pointSizeF(), 16.0);
        }
        QCOMPARE(p.form.txtO->text(), QString("255"));
        QCOMPARE(bitRow(p.form), QString("bbrrrrrr"));
        QCOMPARE(p.zerbo.comTest.PortOpen(), false);
        QCOMPARE(p.form.txtTime->text(), QString());
        QVERIFY(!p.form.optTxD->isChecked() && !p.form.optRxD->isChecked());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QVERIFY(p.form.cmdMan->isEnabled() && p.form.optS[100]->isEnabled());
    }

    void namesOnAnEmptyTable() {
        Program p;
        ready(p);
        p.form.optS[40]->setEnabled(false);
        QTest::mouseClick(p.form.chkA, Qt::LeftButton);
        const auto& names = controlCodeAbbreviations();
        for (int i = 0; i <= 32; ++i) {
            QCOMPARE(p.form.lblN[i]->text(), threeDigits(i));
            QCOMPARE(p.form.txtN[i]->text(), names[size_t(i)]);
        }
        QCOMPARE(p.form.txtN[9]->text(), QString("HTB"));
        QCOMPARE(p.form.txtN[32]->text(), QString("SP"));
        QCOMPARE(p.form.lblN[33]->text(), QString());
        QVERIFY(!p.form.chkA->isChecked());
        QVERIFY(!p.form.optS[40]->isEnabled()); // slot buttons keep their state
        QCOMPARE(p.form.txtN[290]->text(), QString("Space  (Blank)")); // legend unchanged
    }

    void namesAfterAFillAndTwice() {
        Program p;
        ready(p);
        fill(p);
        markCurrentSlot(p.form, 20);
        QTest::mouseClick(p.form.chkA, Qt::LeftButton);
        QCOMPARE(p.form.txtN[13]->text(), QString("CR"));
        QCOMPARE(p.form.txtN[32]->font().pointSizeF(), 10.0);
        QCOMPARE(p.form.txtN[33]->font().pointSizeF(), 16.0);
        QCOMPARE(p.form.txtN[33]->text(), QString("!"));
        QCOMPARE(background(p.form.txtN[20]), White); // the green mark of a named slot goes
        markCurrentSlot(p.form, 65);
        QTest::mouseClick(p.form.chkA, Qt::LeftButton);
        QCOMPARE(background(p.form.txtN[65]), Green); // beyond 32 it stays
        QCOMPARE(p.form.txtN[0]->text(), QString("NUL"));
        QVERIFY(!p.form.chkA->isChecked());
    }

    void resetEmptiesEverythingButTheLine() {
        Program p;
        ready(p);
        fill(p);
        p.zerbo.comTest.openSequence(8);
        p.form.txtS->setText("typed");
        p.form.txtTime->setText("123");
        bool barHidden = false;
        // The second yield of the reset is inside its styling loop.
        later(0, [&] { later(0, [&] { barHidden = p.form.prgBar->isHidden(); }); });
        for (int twice = 0; twice < 2; ++twice) {
            p.form.cmdNew->click();
            QCOMPARE(numberedSlots(p.form), 0);
            for (int i = 0; i < 256; ++i) {
                QCOMPARE(p.form.txtN[i]->text(), QString());
                QCOMPARE(p.form.txtN[i]->font().pointSizeF(), 10.0);
                QCOMPARE(background(p.form.txtN[i]), White);
            }
            QCOMPARE(bitRow(p.form), QString("wwwwwwww"));
            QCOMPARE(p.form.txtO->text(), QString());
            QCOMPARE(p.form.txtS->text(), QString());
            QCOMPARE(p.form.txtTime->text(), QString("123"));
            QVERIFY(p.zerbo.comTest.PortOpen()); // the reset leaves the port alone
            QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
            QVERIFY(p.form.prgBar->isVisible() || !p.form.isVisible());
            QVERIFY(!p.form.prgBar->isHidden());
            QCOMPARE(p.zerbo.state.StopSending, qint16(1));
        }
        QVERIFY(barHidden);
        QCOMPARE(p.form.txtN[287]->text(), QString("NUL"));
    }
};

QTEST_MAIN(TableOperationsTest)
#include "tst_table_operations.moc"
