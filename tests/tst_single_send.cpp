// A slot button sends its code: what goes out on the line and what the window shows.
#include "app/control_states.h"
#include "app/form_style.h"
#include "app/option_button.h"
#include "program.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {
// Only the slot of code is green; every other character field is white.
bool onlySlotGreen(const FrmAscii& form, int code) {
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        if (background(form.txtN[i]) != (i == code ? Green : White))
            return false;
    return true;
}
} // namespace

class SingleSendTest : public QObject {
    Q_OBJECT

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
        // From the Ready state the click leaves the port open in transmit mode.
        QVERIFY(p.zerbo.comTest.PortOpen() && p.form.optTxD->isChecked());
        QVERIFY(p.form.chkOpen->isEnabled() && p.form.chkOpen->isChecked());
        QVERIFY(p.form.chkClosed->isEnabled() && !p.form.chkClosed->isChecked());
    }

    // After the first click on the slot of code: "c" clicks it again, "d"
    // presses Down and "u" Up on the focused slot.
    void clicksAndArrows_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("onLine");
        QTest::addColumn<int>("shown");
        QTest::newRow("down from 10") << 10 << "dddu" << QByteArray("\x0b\x0c\x0d\x0c") << 12;
        QTest::newRow("same slot twice") << 66 << "c" << QByteArray("B") << 66;
        QTest::newRow("up on 0") << 0 << "u" << QByteArray() << 0;
        QTest::newRow("down on 255") << 255 << "d" << QByteArray() << 255;
    }
    void clicksAndArrows() {
        QFETCH(int, code);
        QFETCH(QString, keys);
        QFETCH(QByteArray, onLine);
        QFETCH(int, shown);
        Program p;
        p.showReady();
        QTest::mouseClick(p.form.optS[code], Qt::LeftButton);
        QCOMPARE(p.board.read().size(), 1);
        for (QChar key : keys)
            if (key == 'c')
                QTest::mouseClick(p.form.optS[code], Qt::LeftButton);
            else
                QTest::keyClick(QApplication::focusWidget(),
                                key == 'd' ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(p.board.read(), onLine);
        QCOMPARE(p.form.txtO->text(), QString::number(shown));
        QVERIFY(onlySlotGreen(p.form, shown));
    }
};

QTEST_MAIN(SingleSendTest)
#include "tst_single_send.moc"
