// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the user first sees it: layout, texts and the keyboard order.
#include "form/frm_ascii.h"
#include "form/legend.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/tool_tips.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <map>

class MainWindowTest : public QObject {
    Q_OBJECT

    static QPoint px(int leftTwips, int topTwips) { return {leftTwips / 15, topTwips / 15}; }

private slots:
    // Where the user finds things: legend rows, bits (highest left), corners of the slot blocks.
    void layout() {
        FrmAscii form;
        const auto at = [&form](const QWidget* w) { return w->mapTo(&form, QPoint()); };
        for (int k = 0; k < LegendRows; ++k) {
            QCOMPARE(form.lblN[legendNumberLabel(k)]->text(),
                     QString::number(k).rightJustified(3, '0'));
            QCOMPARE(at(form.lblN[legendNumberLabel(k)]).y(), (600 + 300 * k) / 15);
            QCOMPARE(at(form.txtN[legendNameField(k)]), px(13200, 600 + 300 * k));
        }
        QCOMPARE(at(form.txtP[7]), px(13200, 11100));
        QCOMPARE(at(form.txtP[0]), px(15300, 11100));
        for (const auto& [code, number] : std::map<int, QPoint>{
                 {0, px(300, 600)}, {128, px(300, 7620)}, {255, px(10800, 13920)}}) {
            QCOMPARE(at(form.lblN[code]), number);
            QCOMPARE(at(form.txtN[code]), number + px(480, -60));
            QCOMPARE(at(form.optS[code]), number + px(1140, 0));
        }
    }

    // What the user reads, typos and inner blanks as they stand.
    void texts() {
        FrmAscii form;
        QStringList shown{form.windowTitle(), form.chkA->text()};
        for (int field : {277, 271, 256, 290, 288, 291})
            shown << form.txtN[field]->text();
        QCOMPARE(shown, QStringList({"ZERBO via ComPort", "# 000-032 True ZERBO", "Line       Feed",
                                     "Dataline   Escape", "Unit   Seperator", "Space  (Blank)",
                                     "Signs to be send via TxD", "Asc(Mid(txtS,I,1))"}));
    }

    // Down follows the group's own order, not the geometry (Up: tst_single_send).
    void arrowKeysFollowTheKeyboardOrder_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("across blocks") << "optS(127)"
                                       << "optS(128)";
        QTest::newRow("wrap from the last") << "optSendC"
                                            << "optRxD";
        QTest::newRow("over a disabled slot") << "optS(20)"
                                              << "optS(22)";
    }
    void arrowKeysFollowTheKeyboardOrder() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        FrmAscii form;
        form.optS[21]->setEnabled(false);
        auto* target = form.findChild<OptionButton*>(to);
        QSignalSpy raised(target, &QAbstractButton::toggled);
        QTest::keyClick(form.findChild<OptionButton*>(from), Qt::Key_Down);
        QCOMPARE(form.options->selected(), target);
        QCOMPARE(raised.count(), 1); // its handler runs once
    }

    // Every control tells in English what it does, one sentence, from its own tip or its group's
    // (the slots, the legend, the bits); the README's table says the same. The port indicators'
    // tips name the device taken as COM1, which only the program knows.
    void everyControlExplainsItself() {
        FrmAscii form;
        const auto tipOf = [&form](const QWidget* w) {
            for (; w && w != &form; w = w->parentWidget())
                if (!w->toolTip().isEmpty())
                    return w->toolTip();
            return QString();
        };
        for (const QWidget* control : form.findChildren<QWidget*>()) {
            if (!control->isVisibleTo(&form) || control == form.tlbRTF ||
                (control->parentWidget() != control->window() && control->objectName().isEmpty()))
                continue; // the strip itself, and the inner parts of combo boxes and the like
            if (control == form.chkOpen || control == form.chkClosed)
                continue;
            const QString tip = tipOf(control);
            QVERIFY2(!tip.isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(tip.endsWith('.') && !tip.chopped(1).contains(QRegularExpression("[.!?] ")),
                     qPrintable(tip));
        }
        QFile readme(ZERBO_SOURCE_DIR "/README.md");
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString guide = QString::fromUtf8(readme.readAll());
        for (const ToolTip& tip : toolTips())
            QVERIFY2(guide.contains(tip.text), qPrintable(tip.text));
    }

    // What a screen reader hears: radio buttons, the selected one checked, and
    // none once the group is left with nothing selected.
    void optionButtonsAreRadioButtons() {
        FrmAscii form;
        QCOMPARE(form.options->buttons().size(), 259);
        const auto heard = [&form](const OptionButton* selected) {
            for (OptionButton* button : form.options->buttons()) {
                const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(button);
                QCOMPARE(heard->role(), QAccessible::RadioButton);
                QCOMPARE(bool(heard->state().checked), button == selected);
            }
        };
        form.options->select(form.optS[65]);
        heard(form.optS[65]);
        form.options->unselect(form.optS[65]);
        heard(nullptr);

        // The slots' names come once accessibility is on (here, with no screen reader, by hand).
        const auto name = [](QWidget* w) {
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        };
        QCOMPARE(name(form.optS[7]), QString());
        form.nameSlots();
        for (int code : {0, 65, 255}) {
            const QString digits = QString("%1").arg(code, 3, 10, QChar('0'));
            QCOMPARE(name(form.optS[code]), "Send character " + digits);
            QCOMPARE(name(form.txtN[code]), "Character " + digits);
            QCOMPARE(form.lblN[code]->accessibleDescription(), "Number " + digits);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
