// The main window as the user first sees it: layout, texts, initial states,
// the option group's keyboard order, and the named control states.
#include "app/control_states.h"
#include "app/frm_ascii.h"
#include "app/legend.h"
#include "app/option_button.h"
#include "app/option_group.h"
#include "app/pick_combo.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
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
    void windowFrame() {
        FrmAscii form;
        QCOMPARE(form.windowTitle(), QString("ZERBO via ComPort"));
        QCOMPARE(form.size(), QSize(1104, 1058));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.pos(), QPoint(70, 89)); // design position 1050, 1335 twips
    }

    void tellingSlots_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QPoint>("number");
        QTest::addColumn<QPoint>("character");
        QTest::addColumn<QPoint>("button");
        QTest::newRow("0") << 0 << px(300, 600) << px(780, 540) << px(1440, 600);
        QTest::newRow("15") << 15 << px(300, 6900) << px(780, 6840) << px(1440, 6900);
        QTest::newRow("16") << 16 << px(1800, 600) << px(2280, 540) << px(2940, 600);
        QTest::newRow("127") << 127 << px(10800, 6900) << px(11280, 6840) << px(11940, 6900);
        QTest::newRow("128") << 128 << px(300, 7620) << px(780, 7560) << px(1440, 7620);
        QTest::newRow("255") << 255 << px(10800, 13920) << px(11280, 13860) << px(11940, 13920);
    }
    void tellingSlots() {
        QFETCH(int, code);
        QFETCH(QPoint, number);
        QFETCH(QPoint, character);
        QFETCH(QPoint, button);
        FrmAscii form;
        QCOMPARE(at(form, form.lblN[code]), number);
        QCOMPARE(at(form, form.txtN[code]), character);
        QCOMPARE(at(form, form.optS[code]), button);
        QCOMPARE(form.txtN[code]->size(), QSize(38, 24));
        QCOMPARE(form.optS[code]->size(), QSize(17, 17));
        QVERIFY(form.lblN[code]->text().isEmpty());
        QVERIFY(form.txtN[code]->text().isEmpty());
        QCOMPARE(form.findChild<QWidget*>(QString("optS(%1)").arg(code)), form.optS[code]);
        const Qt::Alignment expected = code < 16 ? Qt::AlignRight : Qt::AlignHCenter;
        QCOMPARE(form.lblN[code]->alignment() & Qt::AlignHorizontal_Mask, expected);
        QCOMPARE(form.txtN[code]->accessibleName(),
                 QString("Character %1").arg(code, 3, 10, QChar('0')));
        QCOMPARE(form.optS[code]->accessibleName(),
                 QString("Send character %1").arg(code, 3, 10, QChar('0')));
    }

    void legendKeepsItsTextsAndPairs() {
        FrmAscii form;
        for (int k = 0; k < LegendRows; ++k) {
            QLabel* number = form.lblN[legendNumberLabel(k)];
            QLineEdit* name = form.txtN[legendNameField(k)];
            QCOMPARE(number->text(), QString("%1").arg(k, 3, 10, QChar('0')));
            QCOMPARE(at(form, number).y(), (600 + 300 * k) / 15);
            QCOMPARE(at(form, name), QPoint(13200 / 15, (600 + 300 * k) / 15));
            QCOMPARE(name->focusPolicy(), Qt::ClickFocus);
            QVERIFY(!name->hasFrame());
        }
        QCOMPARE(form.txtN[277]->text(), QString("Line       Feed"));
        QCOMPARE(form.lblN[256]->text(), QString("016"));
        QCOMPARE(form.txtN[271]->text(), QString("Dataline   Escape"));
        QCOMPARE(form.lblN[271]->text(), QString("031"));
        QCOMPARE(form.txtN[256]->text(), QString("Unit   Seperator"));
        QCOMPARE(form.lblN[288]->text(), QString("032"));
        QCOMPARE(form.txtN[290]->text(), QString("Space  (Blank)"));
    }

    void captionsAndInitialTexts() {
        FrmAscii form;
        QCOMPARE(form.txtN[288]->text(), QString("Signs to be send via TxD"));
        QCOMPARE(form.txtN[291]->text(), QString("Asc(Mid(txtS,I,1))"));
        QCOMPARE(form.chkA->text(), QString("# 000-032 True ZERBO"));
        QCOMPARE(form.cmbFontName->currentText(), QString("Font"));
        QCOMPARE(form.cmbFontName->count(), 0);
        QCOMPARE(at(form, form.txtP[7]), px(13200, 11100));
        QCOMPARE(at(form, form.txtP[0]), px(15300, 11100));
        QCOMPARE(at(form, form.txtO), px(12480, 11100));
        QCOMPARE(form.txtTop->y(), 13320 / 15); // on the row of "Set form position"
        QCOMPARE(form.txtLeft->y(), 13800 / 15);
        QCOMPARE(form.lblN[5]->accessibleName(), QString()); // the label's text is what is spoken
        QCOMPARE(form.lblN[5]->accessibleDescription(), QString("Number 005"));
    }

    void initialStates() {
        FrmAscii form;
        for (QPushButton* off : {form.cmdCom1, form.cmdMan, form.cmdNew})
            QVERIFY(!off->isEnabled());
        for (QPushButton* on : {form.cmdExit, form.cmdSend, form.cmdSendC, form.cmdStopC})
            QVERIFY(on->isEnabled());
        for (QCheckBox* box : {form.chkN, form.chkT, form.chkA, form.chkOpen, form.chkClosed})
            QVERIFY(!box->isChecked());
        QCOMPARE(form.options->selected(), nullptr);
    }

    // The arrow keys follow the group's own order, not the geometry.
    void arrowKeysFollowTheKeyboardOrder_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        QTest::newRow("down within slots") << "optS(10)" << int(Qt::Key_Down) << "optS(11)";
        QTest::newRow("down across blocks") << "optS(127)" << int(Qt::Key_Down) << "optS(128)";
        QTest::newRow("up within slots") << "optS(10)" << int(Qt::Key_Up) << "optS(9)";
        QTest::newRow("down past the last slot") << "optS(255)" << int(Qt::Key_Down) << "optTxD";
        QTest::newRow("up past the first slot") << "optS(0)" << int(Qt::Key_Up) << "optRxD";
        QTest::newRow("down from optRxD") << "optRxD" << int(Qt::Key_Down) << "optS(0)";
        QTest::newRow("wrap from the last") << "optSendC" << int(Qt::Key_Down) << "optRxD";
        QTest::newRow("wrap from the first") << "optRxD" << int(Qt::Key_Up) << "optSendC";
    }
    void arrowKeysFollowTheKeyboardOrder() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        FrmAscii form;
        auto* start = form.findChild<OptionButton*>(from);
        auto* target = form.findChild<OptionButton*>(to);
        QSignalSpy raised(target, &QAbstractButton::toggled);
        QTest::keyClick(start, Qt::Key(key));
        QCOMPARE(form.options->selected(), target);
        QCOMPARE(raised.count(), 1);
        QCOMPARE(raised.first().first().toBool(), true);
    }

    void arrowKeysSkipDisabledButtons() {
        FrmAscii form;
        form.optS[11]->setEnabled(false);
        QTest::keyClick(form.optS[10], Qt::Key_Down);
        QCOMPARE(form.options->selected(), form.optS[12]);
    }

    void groupIsExclusiveAndCanBeCleared() {
        FrmAscii form;
        form.options->select(form.optRxD);
        form.options->select(form.optS[65]);
        QVERIFY(!form.optRxD->isChecked());
        QVERIFY(form.optS[65]->isChecked());
        form.options->unselect(form.optS[65]);
        QCOMPARE(form.options->selected(), nullptr);
        form.options->select(form.optS[66]); // still exclusive afterwards
        form.options->select(form.optTxD);
        QVERIFY(!form.optS[66]->isChecked());
    }

    void helpIsAloneInItsGroup() {
        FrmAscii form;
        form.optHelp->setChecked(true);
        form.options->select(form.optRxD);
        QVERIFY(form.optHelp->isChecked());
        QVERIFY(form.optRxD->isChecked());
    }

    void statesWriteTheirValues_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>(
            "expected"); // TxD RxD open closed: e/d + s/u or 1/0; then 7 commands; slots
        QTest::newRow("Ready") << int(ControlState::Ready) << "eu eu d0 d0 eeeeeee e";
        QTest::newRow("after reception")
            << int(ControlState::ReadyAfterReception) << "eu eu d0 d1 eeeeeee e";
        QTest::newRow("Receiving") << int(ControlState::Receiving) << "eu es e1 d0 ddxeddd d";
        QTest::newRow("Send-ready") << int(ControlState::SendReady) << "es eu e1 d0 eeeeeee e";
        QTest::newRow("Filling") << int(ControlState::Filling) << "du du d0 d0 dddeddd d";
        QTest::newRow("Resetting") << int(ControlState::Resetting) << "du du d0 d0 dddeddd d";
        QTest::newRow("String-sending")
            << int(ControlState::StringSending) << "es du e1 d0 dddeedd x";
        QTest::newRow("Continuous")
            << int(ControlState::ContinuousSending) << "es du e1 d0 dddedee e";
    }
    void statesWriteTheirValues() {
        QFETCH(int, state);
        QFETCH(QString, expected);
        FrmAscii form;
        // Start from the opposite of everything, so each written value shows.
        form.options->select(form.optS[3]);
        form.chkOpen->setChecked(true);
        form.chkClosed->setChecked(true);
        enterState(form, ControlState(state));

        auto en = [](QWidget* w) { return w->isEnabled() ? 'e' : 'd'; };
        auto sel = [](QAbstractButton* b) { return b->isChecked() ? 's' : 'u'; };
        auto val = [](QAbstractButton* b) { return b->isChecked() ? '1' : '0'; };
        QString seen;
        seen += QString(en(form.optTxD)) + sel(form.optTxD) + ' ';
        seen += QString(en(form.optRxD)) + sel(form.optRxD) + ' ';
        seen += QString(en(form.chkOpen)) + val(form.chkOpen) + ' ';
        seen += QString(en(form.chkClosed)) + val(form.chkClosed) + ' ';
        const QString commands = expected.section(' ', 4, 4);
        const QList<QPushButton*> buttons{form.cmdCom1, form.cmdMan,   form.cmdNew,  form.cmdExit,
                                          form.cmdSend, form.cmdSendC, form.cmdStopC};
        for (int i = 0; i < buttons.size(); ++i)
            seen += commands[i] == 'x' ? QChar('x') : QChar(en(buttons[i]));
        seen += ' ';
        seen += expected.endsWith('x') ? 'x' : en(form.optS[200]);
        QCOMPARE(seen, expected);
        const bool displayEnabled = state <= int(ControlState::ReadyAfterReception);
        for (QWidget* option : form.displayOptions())
            QCOMPARE(option->isEnabled(), displayEnabled);
        QCOMPARE(form.cmdExit->isEnabled(), true);
    }

    void comboPicksRaiseTheirHandler() {
        FrmAscii form;
        form.cmbFontColor->addItems({"black", "red"});
        QSignalSpy picked(form.cmbFontColor, &PickCombo::picked);
        form.cmbFontColor->pick(1);
        form.cmbFontColor->pick(1); // the entry already shown: picked again
        QCOMPARE(picked.count(), 2);
        QCOMPARE(form.cmbFontColor->currentText(), QString("red"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
