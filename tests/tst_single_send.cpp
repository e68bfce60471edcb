// A slot button sends its code: what goes out on the line and what the window shows.
#include "app/control_states.h"
#include "app/form_style.h"
#include "app/option_button.h"
#include "app/option_group.h"
#include "program.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>

class SingleSendTest : public QObject {
    Q_OBJECT

    static void pressOnFocus(Qt::Key key) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClick(focused, key);
    }

    // Only the slot of code is green; every other character field is white.
    static bool onlySlotGreen(const FrmAscii& form, int code) {
        for (int i = 0; i < FrmAscii::SlotCount; ++i)
            if (background(form.txtN[i]) != (i == code ? Green : White))
                return false;
        return true;
    }

private slots:
    void slotSendsItsCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("bits");
        QTest::newRow("0") << 0 << "wwwwwwww";
        QTest::newRow("65") << 65 << "wbwwwwwr";
        QTest::newRow("255") << 255 << "bbrrrrrr";
    }
    void slotSendsItsCode() {
        QFETCH(int, code);
        QFETCH(QString, bits);
        Program p;
        p.showReady();
        setBackground(p.form.txtN[7], Red); // a colour the user chose is replaced
        QTest::mouseClick(p.form.optS[code], Qt::LeftButton);
        QCOMPARE(p.board.read(), QByteArray(1, static_cast<char>(code)));
        QCOMPARE(p.form.txtO->text(), QString::number(code));
        QCOMPARE(bitRow(p.form), bits);
        QVERIFY(onlySlotGreen(p.form, code));
    }

    void readyStateClickLeavesTransmitModeAndPortOpen() {
        Program p;
        p.showReady();
        QTest::mouseClick(p.form.optS[33], Qt::LeftButton);
        QVERIFY(p.zerbo.comTest.PortOpen());
        QCOMPARE(p.zerbo.comTest.InputLen(), qint16(8));
        QVERIFY(p.form.optTxD->isChecked());
        QVERIFY(!p.form.optS[33]->isChecked());
        QVERIFY(p.form.chkOpen->isEnabled() && p.form.chkOpen->isChecked());
        QVERIFY(p.form.chkClosed->isEnabled() && !p.form.chkClosed->isChecked());
    }

    void sameSlotTwiceSendsTwice() {
        Program p;
        p.showReady();
        QTest::mouseClick(p.form.optS[66], Qt::LeftButton);
        QTest::mouseClick(p.form.optS[66], Qt::LeftButton);
        QCOMPARE(p.board.read(), QByteArray("BB"));
    }

    void downArrowSendsTheFollowingCodes() {
        Program p;
        p.showReady();
        QTest::mouseClick(p.form.optS[10], Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            pressOnFocus(Qt::Key_Down);
        QCOMPARE(p.board.read(), QByteArray("\x0a\x0b\x0c\x0d"));
        QCOMPARE(QApplication::focusWidget(), p.form.optS[13]);
        QCOMPARE(p.form.txtO->text(), QString("13"));
        QVERIFY(onlySlotGreen(p.form, 13));
        pressOnFocus(Qt::Key_Up);
        QCOMPARE(p.board.read(), QByteArray("\x0c"));
    }

    void arrowsLeaveTheSlotsAtTheEnds_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("key");
        QTest::newRow("up on 0") << 0 << int(Qt::Key_Up);
        QTest::newRow("down on 255") << 255 << int(Qt::Key_Down);
    }
    void arrowsLeaveTheSlotsAtTheEnds() {
        QFETCH(int, code);
        QFETCH(int, key);
        Program p;
        p.showReady();
        QTest::mouseClick(p.form.optS[code], Qt::LeftButton);
        QCOMPARE(p.board.read().size(), 1);
        QCOMPARE(QApplication::focusWidget(), p.form.optS[code]);
        pressOnFocus(Qt::Key(key));
        QCOMPARE(p.board.read(), QByteArray());
        const auto& slotButtons = p.form.optS;
        QVERIFY(std::find(slotButtons.begin(), slotButtons.end(), p.form.options->selected()) ==
                slotButtons.end());
        QCOMPARE(p.form.txtO->text(), QString::number(code));
    }
};

QTEST_MAIN(SingleSendTest)
#include "tst_single_send.moc"
