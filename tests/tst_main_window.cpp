// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as first seen: layout, texts, keyboard order, the help and the backdrop (whose
// double click, ending the program, is in tst_faults); the focus never on Exit, ended by Space.
#include "form/background_window.h"
#include "form/frm_ascii.h"
#include "form/help_window.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/status_line.h"
#include "form/tool_tips.h"
#include "program.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <tuple>

namespace {
// How the focus was left before an operation; what happens while it runs, the focus seen then.
using Start = void (*)(Program&);
using Meanwhile = std::function<void(Program&, QString& during)>;

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

// What a control shows as its caption or text: the first of these properties it has.
QString shownText(const QWidget* control) {
    if (control->property("textVisible") == QVariant(false))
        return QStringLiteral("<no text>"); // a bar drawn without its percentage
    for (const char* shown : {"text", "currentText", "plainText"})
        if (const QVariant text = control->property(shown); text.isValid())
            return text.toString();
    return QStringLiteral("<no text>");
}
// An operation started from its button, and the button it disables while it runs.
struct Press {
    Start start;
    const char* button;
    const char* disabledMeanwhile;
    bool fromBehind; // clicked while another window is active, not pressed with Space
    Meanwhile meanwhile;
    const char* after; // where the focus is once it has ended
};
} // namespace

Q_DECLARE_METATYPE(Press)

class MainWindowTest : public QObject {
    Q_OBJECT

    static QPoint px(int leftTwips, int topTwips) { return {leftTwips / 15, topTwips / 15}; }

private slots:
    // Each control of the slot blocks' corners, the toolbar, lower right and bottom rows: its
    // caption or first text, and its place and size in twips, at 15 twips a pixel on this screen.
    void designedControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* name, const char* text, QRect twips) {
            QTest::newRow(name) << QString(name) << QString::fromUtf8(text) << twips;
        };
        row("lblN(0)", "", {300, 600, 450, 360});
        row("txtN(0)", "", {780, 540, 570, 360});
        row("optS(0)", "", {1440, 600, 255, 255});
        row("lblN(128)", "", {300, 7620, 450, 360});
        row("txtN(128)", "", {780, 7560, 570, 360});
        row("optS(128)", "", {1440, 7620, 255, 255});
        row("lblN(255)", "", {10800, 13920, 450, 360});
        row("txtN(255)", "", {11280, 13860, 570, 360});
        row("optS(255)", "", {11940, 13920, 255, 255});
        row("cmbFontName", "Font", {300, 0, 3135, 360});
        row("cmbFontSize", "Size", {3360, 0, 1215, 360});
        row("cmbFontColor", "Color", {4500, 0, 1215, 360});
        row("chkN", "Numbers", {5940, 60, 1215, 255});
        row("chkT", "Signs", {7440, 60, 1215, 255});
        row("chkA", "# 000-032 True ZERBO", {8940, 60, 2775, 255});
        row("optHelp", "Help", {11940, 60, 1185, 285});
        row("txtN(291)", "Asc(Mid(txtS,I,1))", {13260, 10740, 2160, 270});
        row("txtO", "", {12480, 11100, 465, 285});
        row("txtP(7)", "", {13200, 11100, 225, 270});
        row("txtP(0)", "", {15300, 11100, 225, 270});
        row("optSendC", "", {15780, 11100, 255, 270});
        row("cmdSendC", "Send current sign continuously", {12480, 11520, 3855, 375});
        row("cmdStopC", "Stop sending the sign", {12480, 12000, 3855, 375});
        row("cmdBackShowHide", "Show background", {12480, 12660, 3855, 375});
        row("cmdSetPos", "Set form position", {12480, 13320, 2235, 375});
        row("txtTop", "", {14820, 13320, 945, 360});
        row("lblN(290)", "Top", {15840, 13380, 450, 240});
        row("cmdCenter", "Set form center", {12480, 13800, 2235, 375});
        row("txtLeft", "", {14820, 13800, 945, 390});
        row("lblN(289)", "Left", {15840, 13860, 570, 240});
        row("rtfData(0)", "1", {13200, 14820, 495, 435});
        row("txtS", "", {780, 14400, 11625, 360});
        row("txtN(288)", "Signs to be send via TxD", {12600, 14460, 3300, 270});
        row("prgBar", "<no text>", {780, 14880, 11625, 255});
        row("optTxD", "TxD Send", {780, 15240, 2055, 225});
        row("optRxD", "RxD Receive", {780, 15540, 2055, 225});
        row("chkOpen", "Port open", {2820, 15240, 2055, 225});
        row("chkClosed", "Port closed", {2820, 15540, 2055, 225});
        row("cmdCom1", "Com1", {5100, 15360, 1215, 375});
        row("cmdMan", "Man", {6420, 15360, 1215, 375});
        row("cmdNew", "New", {7740, 15360, 1215, 375});
        row("cmdExit", "Exit", {9060, 15360, 1215, 375});
        row("cmdSend", "Send", {10380, 15360, 1215, 375});
        row("txtTime", "", {11760, 15360, 705, 360});
        row("txtN(289)", "Time [ms] between the signs", {12600, 15420, 3300, 270});
        row("statusLine", "<no text>", {0, 15870, 16560, 300}); // one line under them, across
    }
    void designedControls() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        FrmAscii form;
        const auto* control = form.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(shownText(control), text);
        QCOMPARE(QRect(control->mapTo(&form, QPoint()), control->size()),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    }

    // The designed fonts: the window's own, which controls without a font of their own take,
    // and the label font. (The slot buttons' font shows no text.)
    void designedFonts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("font");
        const QString label = "Courier New 9.75 bold", window = "Courier New 12 bold";
        for (const char* name : {"frmASCII", "txtS", "txtTime", "txtLeft", "txtTop", "optSendC"})
            QTest::newRow(name) << name << window;
        for (const char* name : {"cmbFontName", "chkA", "optHelp", "txtN(291)", "txtO", "txtP(0)",
                                 "cmdSendC", "lblN(290)", "txtN(288)", "optTxD", "chkOpen",
                                 "cmdExit", "txtN(289)", "lblN(65)", "txtN(65)", "txtN(256)"})
            QTest::newRow(name) << name << label;
        for (const char* name : {"optS(0)", "optS(255)"})
            QTest::newRow(name) << name << "MS Sans Serif 8.25";
    }
    void designedFonts() {
        QFETCH(QString, name);
        QFETCH(QString, font);
        FrmAscii form;
        const QWidget* control = name == form.objectName() ? &form : form.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        const QFont shown = control->font();
        QCOMPARE(QString("%1 %2%3")
                     .arg(shown.family())
                     .arg(shown.pointSizeF())
                     .arg(shown.bold() ? " bold" : ""),
                 font);
    }

    // At start: the title, the progress bar at 0 of 78, only Com1, Man and New disabled, the
    // caption fields passed by Tab (read as text), 33 legend rows, no slot cut at its column's
    // edge.
    void startingStates() {
        FrmAscii form;
        QCOMPARE(form.windowTitle(), "ZERBO via ComPort");
        QCOMPARE(QList<int>(
                     {form.prgBar()->minimum(), form.prgBar()->value(), form.prgBar()->maximum()}),
                 QList<int>({0, 0, 78}));
        QStringList disabled;
        for (const QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!control->isEnabled())
                disabled << control->objectName();
        disabled.sort();
        QCOMPARE(disabled, QStringList({"cmdCom1", "cmdMan", "cmdNew"}));
        const Captions& captions = form.captions();
        for (const QLineEdit* caption : {captions.txtS, captions.txtTime, captions.bitRow})
            QVERIFY2(!(caption->focusPolicy() & Qt::TabFocus), qPrintable(caption->objectName()));
        QCOMPARE(form.legend().size(), 33); // the codes 000 to 032, each in legendRows
        for (const Slot& slot : form.table())
            for (const QWidget* part : std::initializer_list<const QWidget*>{
                     slot.number, slot.character, slot.sendButton})
                QVERIFY2(part->parentWidget()->rect().contains(part->geometry()),
                         qPrintable(part->objectName()));
    }

    // Each legend row as designed: its number, the exact name (typos and inner blanks as they
    // stand), where both stand on the window and their places in the arrays lblN and txtN.
    void legendRows_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        const QStringList names = QString("NUL|Start Of Header|Start Of Text|End   Of Text|"
                                          "End   Of Transmission|Enquiry|Acknowledge|Bell|"
                                          "Backspace|Horizontal Tab|Line       Feed|"
                                          "Vertical   Tab|Form       Feed|Carriage   Return|"
                                          "Shift      Out|Shift      In|Dataline   Escape|"
                                          "DC1        (XON)|DC2|DC3        (XOFF)|DC4|"
                                          "Negative Acknowledge|Synchronous Idle|"
                                          "End Of Transmission Block|Cancel|End Of Medium|"
                                          "Substitute|Escape|File   Seperator|Group  Seperator|"
                                          "Record Seperator|Unit   Seperator|Space  (Blank)")
                                      .split('|');
        QCOMPARE(names.size(), 33);
        for (int code = 0; code < 33; ++code)
            QTest::addRow("%03d", code) << code << names[code];
    }
    void legendRows() {
        QFETCH(int, code);
        QFETCH(QString, name);
        FrmAscii form;
        const LegendRow& row = form.legend()[code];
        QCOMPARE(row.name->text(), name);
        QCOMPARE(row.number->text(), QString::number(code).rightJustified(3, '0'));
        QCOMPARE(row.number->mapTo(&form, QPoint()).y(), (600 + 300 * code) / 15);
        QCOMPARE(row.name->mapTo(&form, QPoint()), px(13200, 600 + 300 * code));
        const int number = code < 16 ? 287 - code : code < 32 ? 240 + code : 288;
        QCOMPARE(row.number->objectName(), QString("lblN(%1)").arg(number));
        QCOMPARE(row.name->objectName(), QString("txtN(%1)").arg(code < 32 ? 287 - code : 290));
    }

    // Down follows the group's own order, not the geometry (Up: tst_typed_fields).
    void arrowKeysFollowTheKeyboardOrder_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        for (const auto& [name, from, to] :
             {std::tuple("across blocks", "optS(127)", "optS(128)"),
              std::tuple("wrap from the last", "optSendC", "optRxD"),
              std::tuple("over a disabled slot", "optS(20)", "optS(22)")})
            QTest::newRow(name) << QString(from) << QString(to);
    }
    void arrowKeysFollowTheKeyboardOrder() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        FrmAscii form;
        form.slot(21).sendButton->setEnabled(false);
        auto* target = form.findChild<OptionButton*>(to);
        QSignalSpy raised(target, &QAbstractButton::toggled);
        QTest::keyClick(form.findChild<OptionButton*>(from), Qt::Key_Down);
        QCOMPARE(form.options()->selected(), target);
        QCOMPARE(raised.count(), 1); // its handler runs once
    }

    // Every control says what it does in one English sentence, its own tip or its group's, as the
    // README's table does; but the port indicators, whose tips name what only the program knows.
    void everyControlExplainsItself() {
        FrmAscii form;
        const auto tipOf = [&form](const QWidget* w) {
            for (; w && w != &form; w = w->parentWidget())
                if (!w->toolTip().isEmpty())
                    return w->toolTip();
            return QString();
        };
        for (const QWidget* control : form.findChildren<QWidget*>()) {
            if (!control->isVisibleTo(&form) || control == form.tlbRTF() ||
                (control->parentWidget() != control->window() && control->objectName().isEmpty()))
                continue; // the strip itself, and the inner parts of combo boxes and the like
            if (control == form.chkOpen() || control == form.chkClosed())
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

    // The status line: a text longer than its place cut with "...", the whole then in its tool tip
    // and in what a screen reader reads (the accessible name, whose change Qt announces).
    void statusLine() {
        FrmAscii form;
        form.show();
        StatusLine* status = form.statusLine();
        QCOMPARE(QAccessible::queryAccessibleInterface(status)->role(), QAccessible::StatusBar);
        auto* news = status->findChild<QLabel*>("statusNews");
        auto* com1 = status->findChild<QLabel*>("statusCom1");
        const auto heard = [](QLabel* label) {
            return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        };
        status->say("Waiting for the board: press its key 1");
        status->showCom1("/dev/ttyS0", "it opens");
        QCoreApplication::processEvents();
        QCOMPARE(news->text(), "Waiting for the board: press its key 1");
        QCOMPARE(com1->text(), "COM1 is /dev/ttyS0 (it opens)");
        QVERIFY(news->toolTip().isEmpty());
        QCOMPARE(heard(news), "Waiting for the board: press its key 1");
        QCOMPARE(heard(com1), "COM1 is /dev/ttyS0 (it opens)");
        const QString longer = "The port closed: " + QString(300, 'x');
        status->say(longer);
        QVERIFY(news->text().endsWith(QChar(0x2026)) && news->text().size() < longer.size());
        QVERIFY(news->fontMetrics().horizontalAdvance(news->text()) <=
                news->contentsRect().width());
        QCOMPARE(news->toolTip(), longer);
        QCOMPARE(heard(news), longer);
    }

    // A screen reader hears radio buttons, the selected one checked; none once none is selected.
    void optionButtonsAreRadioButtons() {
        FrmAscii form;
        QCOMPARE(form.options()->buttons().size(), 259);
        const auto heard = [&form](const OptionButton* selected) {
            for (OptionButton* button : form.options()->buttons()) {
                const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(button);
                QCOMPARE(heard->role(), QAccessible::RadioButton);
                QCOMPARE(bool(heard->state().checked), button == selected);
            }
        };
        form.options()->select(form.slot(65).sendButton);
        heard(form.slot(65).sendButton);
        form.options()->unselect(form.slot(65).sendButton);
        heard(nullptr);

        // The slots' names come once accessibility is on (here, with no screen reader, by hand).
        const auto name = [](QWidget* w) {
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        };
        QCOMPARE(name(form.slot(7).sendButton), QString());
        form.nameSlots();
        for (int code : {0, 65, 255}) {
            const QString digits = QString("%1").arg(code, 3, 10, QChar('0'));
            QCOMPARE(name(form.slot(code).sendButton), "Send character " + digits);
            QCOMPARE(name(form.slot(code).character), "Character " + digits);
            QCOMPARE(form.slot(code).number->accessibleDescription(), "Number " + digits);
        }
    }

    // The help text exactly, at its place each time it opens, printed anew.
    void exactTextOpensAgainAtItsPlacePrintedAnew() {
        ReadyProgram p;
        p.form.optHelp()->click();
        HelpWindow* help = p.zerbo.help().window();
        const QPoint place = help->pos(); // as designed: tst_screen_fit
        QCOMPARE(help->objectName(), "frmHelp");
        QCOMPARE(help->printedLines(), HelpWindow::helpLines());
        QCOMPARE(help->findChild<QScrollArea*>()->geometry(), help->rect()); // edge to edge
        const QByteArray whole = HelpWindow::helpLines().join('\n').toUtf8();
        QCOMPARE(QCryptographicHash::hash(whole, QCryptographicHash::Sha256).toHex(),
                 QByteArray("8644c616f3acb09693a3689d03475d8271efaffce099587e6c710b9771ebe3f4"));
        const QImage page = help->grab().toImage();
        QVERIFY(page != HelpWindow().grab().toImage()); // the text is on the page
        help->move(400, 300);                           // the user drags it away
        for (bool shown : {false, true}) {
            QVERIFY(!p.form.optHelp()->isChecked()); // so the next click selects it again
            p.form.optHelp()->click();
            QCOMPARE(help->isVisible(), shown);
        }
        QVERIFY(!p.form.optHelp()->isChecked());
        QCOMPARE(p.zerbo.help().window(), help);
        QCOMPARE(help->pos(), place);
        QCOMPARE(help->printedLines().size(), 35);
        QCOMPARE(help->grab().toImage(), page);
        // Closed by its close box, the first click only forgets that help was shown.
        QVERIFY(help->close());
        p.form.optHelp()->click();
        QVERIFY(!help->isVisible() && !p.form.optHelp()->isChecked());
        p.form.optHelp()->click();
        QVERIFY(help->isVisible());
    }

    // The button shows and hides the backdrop; only its first activation fits the picture to it.
    void buttonShowsTheBackdropFittedOnce() {
        Program p;
        for (bool on : {true, false, true}) {
            p.form.cmdBackShowHide()->click();
            QCOMPARE(p.form.cmdBackShowHide()->text(), on ? "Hide background" : "Show background");
            QVERIFY(p.zerbo.background().window()->isVisible() == on && p.form.isVisible());
        }
        BackgroundWindow& backdrop = *p.zerbo.background().window();
        QCOMPARE(backdrop.objectName(), "frmBack");
        backdrop.activateWindow();
        QTRY_COMPARE(backdrop.picture()->geometry(), backdrop.rect());
        const QRect fitted = backdrop.rect();
        backdrop.showNormal();
        backdrop.setGeometry(10, 10, 300, 200);
        backdrop.Form_Activate();
        QCOMPARE(backdrop.picture()->geometry(), fitted);
    }

    // An operation started with Space, or clicked while another window (the board's) was active,
    // after each way the focus may be left: then the window gets the focus meanwhile. Never Exit.
    void focusNeverLandsOnExit_data() {
        QTest::addColumn<Press>("press");
        const Meanwhile seen = [](Program&, QString& during) { during = focusName(); };
        const Meanwhile activated = [](Program& p, QString& during) {
            p.form.activateWindow();
            later(50, [&p, &during] {
                during = focusName();
                p.form.txtTime()->clear(); // the rest of the fill at once
            });
        };
        const auto space = [&](const char* name, const char* button, const char* sign,
                               const char* after, Meanwhile meanwhile) {
            const Start none = [](Program&) {};
            QTest::newRow(name) << Press{none, button, sign, false, meanwhile, after};
        };
        space("New", "cmdNew", "cmdNew", "cmdNew", seen);
        space("Man", "cmdMan", "cmdMan", "cmdMan", seen);
        space("Com1, receiving", "cmdCom1", "cmdCom1", "cmdCom1", [](Program& p, QString& during) {
            during = focusName();
            onceWaiting(p, [&p] { p.board.write(wholeTable()); });
        });
        space("Send", "cmdSend", "cmdSendC", "txtS", seen); // the send's choice, for the next text
        space("Send continuously, then Stop", "cmdSendC", "cmdSend", "cmdStopC",
              [](Program& p, QString& during) {
                  during = focusName();
                  p.form.cmdStopC()->setFocus();
                  QTest::keyClick(p.form.cmdStopC(), Qt::Key_Space);
              });
        const auto man = [&](const char* name, Start start) {
            QTest::newRow(name) << Press{start, "cmdMan", "cmdMan", true, activated, "cmdMan"};
        };
        man("Man after the table: no focus", [](Program& p) {
            if (QWidget* focus = p.form.focusWidget())
                focus->clearFocus();
        });
        man("Man after New by mouse",
            [](Program& p) { QTest::mouseClick(p.form.cmdNew(), Qt::LeftButton); });
        man("Man after New by its accessible action", [](Program& p) {
            QSignalSpy clicked(p.form.cmdNew(), &QPushButton::clicked);
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(p.form.cmdNew());
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            // The action clicks a moment later, as an animated click: New runs to its end
            // first (the spy hears the click after New's handler has returned).
            QTRY_COMPARE(clicked.count(), 1);
        });
        man("Man from a field", [](Program& p) { p.form.txtS()->setFocus(); });
    }
    void focusNeverLandsOnExit() {
        QFETCH(Press, press);
        ReadyProgram p;
        p.form.options()->select(p.form.optRxD()); // Com1 receives
        press.start(p);
        auto* pressed = p.form.findChild<QPushButton*>(press.button);
        QWidget* sign = p.form.findChild<QWidget*>(press.disabledMeanwhile);
        QTRY_VERIFY(pressed->isEnabled());
        QWidget other;
        if (press.fromBehind) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        p.form.txtTime()->setText("10");
        p.form.txtS()->setText("AB");
        p.form.txtO()->setText("65");
        QString during;
        waitUntil([sign] { return !sign->isEnabled(); }, [&] { press.meanwhile(p, during); });
        if (press.fromBehind) {
            QTest::mouseClick(pressed, Qt::LeftButton);
        } else {
            pressed->setFocus();
            QTest::keyClick(pressed, Qt::Key_Space);
        }
        QTRY_VERIFY(sign->isEnabled()); // the operation has ended
        QVERIFY2(during != "cmdExit" && !during.isEmpty(), qPrintable(during));
        if (press.fromBehind)
            QCOMPARE(during, "frmASCII");
        QCOMPARE(focusName(), press.after);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
