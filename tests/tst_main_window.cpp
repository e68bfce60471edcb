// The main window as the user first sees it: where things are, what it says,
// and the option group's keyboard order.
#include "app/frm_ascii.h"
#include "app/legend.h"
#include "app/option_button.h"
#include "app/option_group.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class MainWindowTest : public QObject {
    Q_OBJECT

    static QPoint px(int leftTwips, int topTwips) { return {leftTwips / 15, topTwips / 15}; }
    // Position in the window's client area, whatever group the control sits in.
    static QPoint at(const FrmAscii& form, const QWidget* control) {
        return control->mapTo(&form, QPoint(0, 0));
    }

private slots:
    // Where the user finds things: the legend's numbered rows, the bits with the
    // highest on the left, and the slots at the corners of the two blocks of 128.
    void layout() {
        FrmAscii form;
        for (int k = 0; k < LegendRows; ++k) {
            QLabel* number = form.lblN[legendNumberLabel(k)];
            QLineEdit* name = form.txtN[legendNameField(k)];
            QCOMPARE(number->text(), QString("%1").arg(k, 3, 10, QChar('0')));
            QCOMPARE(at(form, number).y(), (600 + 300 * k) / 15);
            QCOMPARE(at(form, name), QPoint(13200 / 15, (600 + 300 * k) / 15));
        }
        QCOMPARE(at(form, form.txtP[7]), px(13200, 11100));
        QCOMPARE(at(form, form.txtP[0]), px(15300, 11100));
        struct Corner {
            int code;
            QPoint number, character, button;
        };
        for (const Corner& slot :
             {Corner{0, px(300, 600), px(780, 540), px(1440, 600)},
              Corner{128, px(300, 7620), px(780, 7560), px(1440, 7620)},
              Corner{255, px(10800, 13920), px(11280, 13860), px(11940, 13920)}}) {
            QCOMPARE(at(form, form.lblN[slot.code]), slot.number);
            QCOMPARE(at(form, form.txtN[slot.code]), slot.character);
            QCOMPARE(at(form, form.optS[slot.code]), slot.button);
            const QString digits = QString("%1").arg(slot.code, 3, 10, QChar('0'));
            QCOMPARE(form.optS[slot.code]->accessibleName(), "Send character " + digits);
        }
    }

    // What the user reads, typos and inner blanks as they stand.
    void texts() {
        FrmAscii form;
        QCOMPARE(form.windowTitle(), QString("ZERBO via ComPort"));
        const QStringList shown{form.txtN[277]->text(), form.txtN[271]->text(),
                                form.txtN[256]->text(), form.txtN[290]->text(),
                                form.txtN[288]->text(), form.txtN[291]->text(),
                                form.chkA->text()};
        QCOMPARE(shown, QStringList({"Line       Feed", "Dataline   Escape", "Unit   Seperator",
                                     "Space  (Blank)", "Signs to be send via TxD",
                                     "Asc(Mid(txtS,I,1))", "# 000-032 True ZERBO"}));
    }

    // The arrow keys follow the group's own order, not the geometry.
    void arrowKeysFollowTheKeyboardOrder_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        QTest::newRow("down across blocks") << "optS(127)" << int(Qt::Key_Down) << "optS(128)";
        QTest::newRow("wrap from the last") << "optSendC" << int(Qt::Key_Down) << "optRxD";
        QTest::newRow("wrap from the first") << "optRxD" << int(Qt::Key_Up) << "optSendC";
        QTest::newRow("over a disabled slot") << "optS(20)" << int(Qt::Key_Down) << "optS(22)";
    }
    void arrowKeysFollowTheKeyboardOrder() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        FrmAscii form;
        form.optS[21]->setEnabled(false);
        auto* target = form.findChild<OptionButton*>(to);
        QSignalSpy raised(target, &QAbstractButton::toggled);
        QTest::keyClick(form.findChild<OptionButton*>(from), Qt::Key(key));
        QCOMPARE(form.options->selected(), target);
        QCOMPARE(raised.count(), 1); // its handler runs once
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
