// A slot button sends its code: what goes out on the line and what the window shows.
#include "form/form_style.h"
#include "form/option_button.h"
#include "program.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

class SingleSendTest : public QObject {
    Q_OBJECT

private slots:
    // The first click on the slot of code, then "c" clicks it again, "d" presses
    // Down and "u" Up on the focused slot. The window shows the last code sent.
    void slotSendsItsCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("onLine");
        QTest::addColumn<QString>("bits");
        QTest::newRow("0, then up: nothing more") << 0 << "u" << QByteArray(1, '\0') << "wwwwwwww";
        QTest::newRow("65 twice") << 65 << "c" << QByteArray("AA") << "wbwwwwwr";
        QTest::newRow("255, then down: nothing more")
            << 255 << "d" << QByteArray("\xff") << "bbrrrrrr";
        QTest::newRow("down from 10")
            << 10 << "dddu" << QByteArray("\x0a\x0b\x0c\x0d\x0c") << "wwwwrrww";
    }
    void slotSendsItsCode() {
        QFETCH(int, code);
        QFETCH(QString, keys);
        QFETCH(QByteArray, onLine);
        QFETCH(QString, bits);
        Program p;
        p.showReady();
        setBackground(p.form.txtN[7], Red); // a colour the user chose is replaced
        QTest::mouseClick(p.form.optS[code], Qt::LeftButton);
        // From the Ready state the click leaves the port open in transmit mode.
        QVERIFY(p.zerbo.comTest.PortOpen() && p.form.optTxD->isChecked());
        QVERIFY(p.form.chkOpen->isEnabled() && p.form.chkOpen->isChecked());
        QVERIFY(p.form.chkClosed->isEnabled() && !p.form.chkClosed->isChecked());
        for (QChar key : keys)
            if (key == 'c')
                QTest::mouseClick(p.form.optS[code], Qt::LeftButton);
            else
                QTest::keyClick(QApplication::focusWidget(),
                                key == 'd' ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(p.board.read(), onLine);
        const auto shown = static_cast<unsigned char>(onLine.back());
        QCOMPARE(p.form.txtO->text(), QString::number(shown));
        QCOMPARE(bitRow(p.form), bits);
        for (int i = 0; i < FrmAscii::SlotCount; ++i) // only the slot shown is green
            QCOMPARE(background(p.form.txtN[i]), i == shown ? Green : White);
    }
};

QTEST_MAIN(SingleSendTest)
#include "tst_single_send.moc"
