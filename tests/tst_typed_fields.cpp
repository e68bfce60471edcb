// SPDX-License-Identifier: GPL-3.0-or-later
// The sends and the typed fields that feed them: whatever is typed, and Stop or a second start at
// any moment, neither ends, stalls nor crashes the program.
#include "base/charset.h"
#include "base/yield.h"
#include "dialogs.h"
#include "form/form_scale.h"
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/window_position.h"
#include "program.h"
#include "serial/comm_control.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QToolTip>
#include <numeric>

using FormAction = std::function<void(FrmAscii&)>;
Q_DECLARE_METATYPE(FormAction)

namespace {
enum Operation { Man, Send, SendC };

// Runs the action at a yield once wire holds n bytes (or after 400 tries).
void afterBytes(Program& p, QByteArray& wire, qsizetype n, std::function<void()> action,
                int tries = 400) {
    QTimer::singleShot(5, &p.form, [&p, &wire, n, action, tries] {
        wire += p.board.read(10, 2);
        if (wire.size() < n && tries > 0)
            return afterBytes(p, wire, n, action, tries - 1);
        wire += p.board.read(50, 20); // what was still on its way
        action();
    });
}

// Clicks into the field, as the user does, and types over its text.
void typeInto(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// At least n bytes on the line, all of them code.
bool repeated(const QByteArray& wire, int code, int n) {
    return wire.size() >= n && wire == QByteArray(wire.size(), char(code));
}

} // namespace

class SendsAndFieldsTest : public QObject {
    Q_OBJECT

private slots:
    // Positions are read in the user's format.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // txtTime during Man, Send and SendC: as typed if it reaches their minimum, else that.
    void pauseField_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("during");
        struct Row {
            const char* typed;
            std::array<const char*, 3> during; // Man, Send, SendC
        };
        for (const Row& row : {Row{"", {"10", "100", "50"}}, Row{"-", {"10", "100", "50"}},
                               Row{"65.5", {"65.5", "100", "65.5"}},
                               Row{"2147483647", {"2147483647", "2147483647", "2147483647"}}})
            for (int op : {Man, Send, SendC})
                QTest::addRow("%s '%s'", std::array{"Man", "Send", "SendC"}[op], row.typed)
                    << op << QString(row.typed) << QString(row.during[op]);
    }
    void pauseField() {
        QFETCH(int, operation);
        QFETCH(QString, typed);
        QFETCH(QString, during);
        ReadyProgram p;
        p.form.options()->select(p.form.optTxD()); // else Send yields before applying its minimum
        p.form.txtS()->setText("AB");
        p.form.txtO()->setText("67");
        p.form.txtTime()->setText(typed);
        // At the first yield a replaced text is typed again (no minimum now), others emptied.
        const QString again = during == typed ? QString() : typed;
        QString shown;
        QByteArray wire;
        later(0, [&] {
            shown = p.form.txtTime()->text();
            p.form.txtTime()->setText(again);
            if (operation == SendC)
                afterBytes(p, wire, 2, [&] { p.form.cmdStopC()->click(); });
        });
        std::array{p.form.cmdMan(), p.form.cmdSend(), p.form.cmdSendC()}[operation]->click();
        wire += p.board.read(300);
        QCOMPARE(shown, during);
        QCOMPARE(p.form.txtTime()->text(), operation == Man ? QString() : again);
        QVERIFY(operation == SendC ? repeated(wire, 'C', 2)
                                   : wire == (operation == Man ? wholeTable() : "AB"));
    }

    // SendC with txtO empty sends 141 until a code is typed or slot 65 picked (which sends 'A'
    // once itself): the code sent from the next pass on and the slot marked green, or a refusal.
    void codeField_data() {
        QTest::addColumn<QString>("typed"); // or shown, after the slot's click
        QTest::addColumn<bool>("bySlot");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QString>("green");
        QTest::newRow("empty") << "" << false << true << 0 << "";
        QTest::newRow("blanks") << "   " << false << false << 0 << "0";
        QTest::newRow("65.5") << "65.5" << false << false << 66 << "66";
        QTest::newRow("255") << "255" << false << false << 255 << "255";
        QTest::newRow("256") << "256" << false << true << 0 << "";
        QTest::newRow("-1") << "-1" << false << true << 0 << "";
        QTest::newRow("slot 65") << "65" << true << false << 65 << "65";
    }
    void codeField() {
        QFETCH(QString, typed);
        QFETCH(bool, bySlot);
        QFETCH(bool, refused);
        QFETCH(int, sent);
        QFETCH(QString, green);
        ReadyProgram p;
        MessageBoxAnswerer answerer;
        QByteArray before, after;
        QString shownBefore, shown;
        QStringList greenSlots;
        bool progressHidden = false;
        afterBytes(p, before, 2, [&] {
            progressHidden = p.form.prgBar()->isHidden(); // while the send runs
            shownBefore = p.form.txtO()->text() + " " + bitRow(p.form);
            bySlot ? p.form.slot(65).sendButton->click() : p.form.txtO()->setText(typed);
            afterBytes(p, after, 2, [&] {
                shown = p.form.txtO()->text();
                for (int i = 0; i < FrmAscii::SlotCount; ++i)
                    if (background(p.form.slot(i).character) == Green)
                        greenSlots << QString::number(i);
                p.form.cmdStopC()->click(); // harmless once a refusal ended the send
            });
        });
        p.form.cmdSendC()->click();
        QCOMPARE(shownBefore, QString("141 bwwwrrwr"));
        QVERIFY(progressHidden);
        QVERIFY(repeated(before, 141, 2));
        QCOMPARE(answerer.count(), int(refused));
        if (refused) {
            QCOMPARE(answerer.lastTitle(), QString("ZERBO"));
            QCOMPARE(answerer.lastText(), QString("Input an Integer-Number between 0 bis 255 and "
                                                  "push the Command Button again "));
            QCOMPARE(p.board.read(100), QByteArray()); // nothing after the bad code
            QCOMPARE(p.form.txtO()->text(), typed);
            QVERIFY(background(p.form.txtO()) == Red && p.form.focusWidget() == p.form.txtO());
            QVERIFY(p.form.optSendC()->isChecked() && p.form.cmdStopC()->isEnabled());
            p.form.cmdStopC()->click(); // with nothing running: closes the port the send left open
            QVERIFY(!p.zerbo.port().PortOpen() && background(p.form.txtO()) == White);
            return;
        }
        after += p.board.read(100);
        QCOMPARE(shown, typed);
        QVERIFY(repeated(after, sent, 2));
        QCOMPARE(greenSlots.join(' '), green);
    }

    // From left 1500, top 1995 twips: the edge after "Set form position" (a million pixels off at
    // most) and once the field applied the text; within three pixels, as the window system nudges.
    void positionField_data() {
        QTest::addColumn<bool>("left"); // else top
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("applied");
        QTest::addColumn<int>("set");
        const auto row = [](bool left, const QString& typed, int applied, int set) {
            QTest::addRow("%s '%s'", left ? "left" : "top", qPrintable(typed))
                << left << typed << applied << set;
        };
        row(true, "", 1500, 0);
        row(true, "65.5", 65, 65);
        row(true, "-9000", -8000, -9000);
        row(true, "20000", 13000, 20000);
        row(true, "1e400", 13000, 15000000);
        row(true, "&HFFFFFFFF", 1500, 15000000);
        row(false, "Ж", 1995, 0);
        row(false, "5000", 3000, 5000);
        row(false, "-1e400", -8000, -15000000);
    }
    void positionField() {
        QFETCH(bool, left);
        QFETCH(QString, typed);
        QFETCH(int, applied);
        QFETCH(int, set);
        ReadyProgram p;
        QLineEdit* field = left ? p.form.txtLeft() : p.form.txtTop();
        const auto edge = [&] {
            return left ? windowPosition(p.form).x() : windowPosition(p.form).y();
        };
        moveWindow(p.form, {1500, 1995});
        p.form.txtLeft()->setText(left ? typed : "1500");
        p.form.txtTop()->setText(left ? "1995" : typed);
        p.form.cmdSetPos()->click();
        QCoreApplication::processEvents();
        QVERIFY(qAbs(edge() - set) <= 3 * twipsPerPixel());
        moveWindow(p.form, {1500, 1995});
        p.zerbo.placement().followWindow();
        field->setFocus();
        QCoreApplication::processEvents();
        // Typed from an event queued before the focus moves: judged once focus-lost yields.
        QTimer::singleShot(0, field, [&] { field->setText(typed); });
        p.form.txtS()->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(qAbs(edge() - applied) <= 3 * twipsPerPixel());
        QCOMPARE(field->text(), strictPosition(typed) ? QString::number(edge()) : typed);
    }

    // A loose value stays in its field as the focus moves on, and "Set form position" reads it
    // leniently; a plain number applies as its field loses the focus.
    void bothPositionFieldsTypedThenSet_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("leftShown");
        QTest::addColumn<QPointF>("endsAt");
        QTest::newRow("both loose") << "2500abc"
                                    << " 1 500"
                                    << "2500abc" << QPointF(2500, 1500);
        QTest::newRow("plain left, loose top") << "2500"
                                               << " 1 500"
                                               << "2505" << QPointF(2500, 1500);
        QTest::newRow("empty left, plain top") << ""
                                               << "2010"
                                               << "" << QPointF(0, 2010);
    }
    void bothPositionFieldsTypedThenSet() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QString, leftShown);
        QFETCH(QPointF, endsAt);
        ReadyProgram p;
        moveWindow(p.form, {1005, 1005});
        p.zerbo.placement().followWindow();
        typeInto(p.form.txtLeft(), left);
        typeInto(p.form.txtTop(), top); // the focus leaves txtLeft
        QCOMPARE(QApplication::focusWidget(), p.form.txtTop());
        QCOMPARE(p.form.txtLeft()->text(), leftShown);
        QCOMPARE(p.form.txtTop()->text(), top);                // still being typed
        QTest::mouseClick(p.form.cmdSetPos(), Qt::LeftButton); // the focus leaves txtTop
        QCoreApplication::processEvents();
        const QPointF at = windowPosition(p.form);
        const QPointF off = at - endsAt;
        QVERIFY2(qAbs(off.x()) <= twipsPerPixel() && qAbs(off.y()) <= twipsPerPixel(),
                 qPrintable(QString("at %1, %2").arg(at.x()).arg(at.y())));
        QCOMPARE(p.form.txtLeft()->text() + ", " + p.form.txtTop()->text(),
                 QString("%1, %2").arg(qRound(at.x())).arg(qRound(at.y())));
    }

    // Set form position clicked straight from Top as a real pointer clicks: released at the
    // press's point wherever the button has gone meanwhile; or Tab first, or released off the
    // button (no click) and then Tab.
    void setFormPositionStraightFromTop_data() {
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<bool>("tabFirst");
        QTest::addColumn<bool>("releasedOff");
        QTest::addColumn<QPointF>("endsAt");
        QTest::newRow("quick") << 0 << false << false << QPointF(2500, 1500);
        QTest::newRow("held 50 ms") << 50 << false << false << QPointF(2500, 1500);
        QTest::newRow("held 300 ms") << 300 << false << false << QPointF(2500, 1500);
        QTest::newRow("after Tab, quick") << 0 << true << false << QPointF(2500, 1500);
        QTest::newRow("released off the button, then Tab")
            << 0 << false << true << QPointF(1005, 1500);
    }
    void setFormPositionStraightFromTop() {
        QFETCH(int, heldMs);
        QFETCH(bool, tabFirst);
        QFETCH(bool, releasedOff);
        QFETCH(QPointF, endsAt);
        ReadyProgram p;
        moveWindow(p.form, {1005, 1005});
        p.zerbo.placement().followWindow();
        typeInto(p.form.txtLeft(), "2500abc");
        typeInto(p.form.txtTop(), "1500");
        QPushButton* button = p.form.cmdSetPos();
        if (tabFirst) {
            QTest::keyClick(p.form.txtTop(), Qt::Key_Tab);
            QCoreApplication::processEvents();
        }
        const QPoint onScreen = button->mapToGlobal(button->rect().center());
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
        QTest::qWait(heldMs);
        const QPoint off = releasedOff ? QPoint(-40, -40) : QPoint();
        QTest::mouseRelease(button, Qt::LeftButton, {}, button->mapFromGlobal(onScreen) + off);
        QCoreApplication::processEvents();
        if (releasedOff) {
            QTest::keyClick(button, Qt::Key_Tab);
            QCoreApplication::processEvents();
        }
        const QPointF missed = windowPosition(p.form) - endsAt;
        QVERIFY2(qAbs(missed.x()) <= twipsPerPixel() && qAbs(missed.y()) <= twipsPerPixel(),
                 qPrintable(QString("at %1, %2")
                                .arg(windowPosition(p.form).x())
                                .arg(windowPosition(p.form).y())));
    }

    // A click from Left into Top applies Left; a move while Top is typed leaves Top's text.
    void clickIntoTopKeepsItsEdit() {
        ReadyProgram p;
        moveWindow(p.form, {1005, 1005});
        p.zerbo.placement().followWindow();
        typeInto(p.form.txtLeft(), "2500");
        typeInto(p.form.txtTop(), "1234");
        QVERIFY(qAbs(windowPosition(p.form).x() - 2505) <= twipsPerPixel());
        moveWindow(p.form, {3000, 1005});
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtTop()->text(), QString("1234"));
    }

    // The position fields follow the window, but not while the user edits one.
    void positionFieldsFollowTheWindow() {
        ReadyProgram p;
        p.zerbo.placement().followWindow();
        moveWindow(p.form, QPointF(3000, 2010));
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft()->text() + ", " + p.form.txtTop()->text(), QString("3000, 2010"));
        p.form.txtLeft()->setFocus();
        QCoreApplication::processEvents();
        p.form.txtLeft()->selectAll();
        QTest::keyClicks(p.form.txtLeft(), "450");
        moveWindow(p.form, QPointF(600, 750)); // moved while the user types
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft()->text() + ", " + p.form.txtTop()->text(), QString("450, 2010"));
        p.form.txtS()->setFocus(); // the edit ends: the typed left applies
        QCoreApplication::processEvents();
        QCOMPARE(windowPosition(p.form), QPointF(450, 2010));
    }

    // A stop with nothing running leaves no request behind; in a 24-day pause one Stop ends all.
    void stopBeforeAndDuringAnEndlessPause() {
        ReadyProgram p;
        p.form.txtO()->setText("66");
        p.form.cmdStopC()->click();
        MessageBoxAnswerer answerer;
        QByteArray wire;
        qsizetype sentBeforePause = -1;
        bool readyAtOnce = false;
        afterBytes(p, wire, 2, [&] {
            p.form.txtTime()->setText("1e400");
            sentBeforePause = wire.size();
            later(100, [&] {
                p.form.cmdSendC()->click();
                p.form.cmdStopC()->click();
                readyAtOnce = p.form.cmdSend()->isEnabled() && p.form.cmdMan()->isEnabled();
            });
        });
        p.form.cmdSendC()->click();
        QVERIFY(readyAtOnce && answerer.count() == 0);
        wire += p.board.read(100);
        QVERIFY(wire.size() == sentBeforePause && repeated(wire, 'B', 2)); // not another byte
        QVERIFY(!p.zerbo.port().PortOpen());
        QCOMPARE(p.form.txtO()->text() + bitRow(p.form), QString("wwwwwwww"));
        QVERIFY(!p.form.optSendC()->isChecked() &&
                background(p.form.slot(66).character) == Green); // marked
    }

    // The first click on the slot of code, then "c" clicks it again, "d" presses Down, "u" Up.
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
        ReadyProgram p;
        setBackground(p.form.slot(7).character, Red); // a colour the user chose is replaced
        QTest::mouseClick(p.form.slot(code).sendButton, Qt::LeftButton);
        QVERIFY(p.zerbo.port().PortOpen() && p.form.optTxD()->isChecked() &&
                p.form.chkOpen()->isChecked());
        for (QChar key : keys)
            if (key == 'c')
                QTest::mouseClick(p.form.slot(code).sendButton, Qt::LeftButton);
            else
                QTest::keyClick(QApplication::focusWidget(),
                                key == 'd' ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(p.board.read(), onLine);
        const auto shown = static_cast<unsigned char>(onLine.back());
        QCOMPARE(p.form.txtO()->text(), QString::number(shown));
        QCOMPARE(bitRow(p.form), bits);
        for (int i = 0; i < FrmAscii::SlotCount; ++i) // only the slot shown is green
            QCOMPARE(background(p.form.slot(i).character), i == shown ? Green : White);
    }

    // typed | on the line | bar:txtO:bytes sent at bar 1, 2 and the end; a click before the second
    // character (a slot neither moves the send nor stops it, a Send is ignored).
    void textOnTheLine_data() {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<FormAction>("click");
        QTest::newRow("empty: the prompt, shown meanwhile")
            << QStringList{"",
                           "You can input your own text here and click the command button 'Send' "
                           "again.",
                           "1:89:1 2:111:2 0:46:75"}
            << FormAction();
        QTest::newRow("8 bits, beyond as ?")
            << QStringList{"\u20ac\u00e9\u4e2d\U0001F600A", QString::fromLatin1("\x80\xe9??A"),
                           "1:128:1 2:233:2 0:65:5"}
            << FormAction();
        const QString withNul = QString("A") + QChar(0) + "B";
        QTest::newRow("a NUL as code 0")
            << QStringList{withNul, withNul, "1:65:1 2:0:2 0:66:3"} << FormAction();
        QTest::newRow("slot 90") << QStringList{"ABC", "AZBC", "1:65:1 2:66:3 0:67:4"}
                                 << FormAction([](FrmAscii& f) { f.slot(90).sendButton->click(); });
        QTest::newRow("Send") << QStringList{"ABC", "ABC", "1:65:1 2:66:2 0:67:3"}
                              << FormAction([](FrmAscii& f) { f.cmdSend()->click(); });
    }
    void textOnTheLine() {
        QFETCH(QStringList, row);
        QFETCH(FormAction, click);
        ReadyProgram p;
        QString shownWhileSending;
        QStringList seen;
        QByteArray wire;
        connect(p.form.prgBar(), &QProgressBar::valueChanged, this, [&](int value) {
            wire += p.board.read(200, 20);
            if (value <= 2)
                seen << QString("%1:%2:%3").arg(value).arg(p.form.txtO()->text()).arg(wire.size());
            if (value != 1)
                return;
            shownWhileSending = p.form.txtS()->text();
            if (click)
                later(0, [&] { click(p.form); }); // at the yield before the second character
        });
        // No pauses once the send has opened the port (after applying its minimum).
        connect(
            &p.zerbo.port(), &CommControl::portOpenChanged, &p.form,
            [&p] { p.form.txtTime()->setText("0000"); }, Qt::SingleShotConnection);
        p.form.txtS()->setText(row[0]);
        p.form.cmdSend()->click();
        QCOMPARE(shownWhileSending, row[0].isEmpty() ? row[1] : row[0]);
        QCOMPARE(wire, row[1].toLatin1());
        QCOMPARE(seen.join(' '), row[2]);
        QVERIFY(p.form.txtS()->text().isEmpty() && p.form.txtS()->hasFocus()); // Ready, but for TxD
        QVERIFY(!p.zerbo.port().PortOpen() && p.form.optTxD()->isChecked());
        QVERIFY(!p.form.chkOpen()->isEnabled() && p.form.cmdSendC()->isEnabled());
    }
    // A send begun in receive mode: a click queued then sees the whole String-sending state.
    void queuedEventsSeeTheWholeState() {
        ReadyProgram p;
        p.form.options()->select(p.form.optRxD());
        QCoreApplication::processEvents(); // RxD's own handler yields
        QString seen;
        later(0, [&] {
            seen = QString("RxD %1, Com1 %2, open %3, TxD %4")
                       .arg(p.form.optRxD()->isEnabled())
                       .arg(p.form.cmdCom1()->isEnabled())
                       .arg(p.form.chkOpen()->isChecked())
                       .arg(p.form.optTxD()->isChecked());
        });
        p.form.txtS()->setText("A");
        p.form.cmdSend()->click();
        QCOMPARE(seen, QString("RxD 0, Com1 0, open 1, TxD 1"));
        QCOMPARE(p.board.read(200, 1), QByteArray("A"));
    }

    // With zerbo.nesting turned on, every yield says how deep it is nested; off by default.
    void nestingDepthIsLogged() {
        static QStringList logged;
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (QString(context.category) == "zerbo.nesting")
                    logged << text;
            });
        const auto nestedYields = [] {
            later(0, [] { yieldToEvents(); });
            yieldToEvents();
        };
        nestedYields();
        QCOMPARE(logged, QStringList());
        QLoggingCategory::setFilterRules("zerbo.nesting.debug=true");
        nestedYields();
        QLoggingCategory::setFilterRules("");
        nestedYields();
        qInstallMessageHandler(previous);
        QCOMPARE(logged, QStringList({"yield at depth 1", "yield at depth 2"}));
    }

    // 100 Down presses queued at once (a fast key repeat), each nested in the last's yields.
    void queuedDownPressesKeepTheirOrder() {
        ReadyProgram p;
        QTest::mouseClick(p.form.slot(0).sendButton, Qt::LeftButton);
        QCOMPARE(p.board.read(), QByteArray(1, '\0'));
        // Timers fire inside a running handler's yields, as the window system's key events do.
        for (int i = 0; i < 100; ++i)
            QTimer::singleShot(10, qApp,
                               [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); });
        QThread::msleep(20); // all due at once
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), p.form.slot(100).sendButton, 20000);
        QByteArray expected(100, '\0');
        std::iota(expected.begin(), expected.end(), '\1');
        QByteArray onLine;
        QTRY_VERIFY_WITH_TIMEOUT((onLine += p.board.read(1, 1)).size() >= 100, 20000);
        QTest::qWait(50); // the outer activations have all returned
        QCOMPARE(onLine + p.board.read(), expected);
        QCOMPARE(p.form.txtO()->text(), QStringLiteral("100"));
        QCOMPARE(bitRow(p.form), QStringLiteral("wbrwwrww"));
        for (int i = 0; i < FrmAscii::SlotCount; ++i)
            QCOMPARE(background(p.form.slot(i).character), i == 100 ? Green : White);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(p.board.read(), QByteArray("\x65"));
        QCOMPARE(p.form.txtO()->text(), QStringLiteral("101"));
    }
    // A paste longer than txtS holds is cut, and the user is told; each character goes as a byte.
    void pasteCutAtTheLimitIsTold() {
        ReadyProgram p;
        p.form.options()->select(p.form.optTxD()); // else Send yields before applying its minimum
        QByteArray expected(32767, '\0');
        QString pasted;
        for (int i = 0; i < 40000; ++i) {
            const auto byte = static_cast<unsigned char>(32 + i % 224);
            if (i < expected.size())
                expected[i] = char(byte);
            pasted += charFromByte(byte);
        }
        QApplication::clipboard()->setText(pasted);
        QTest::mouseClick(p.form.txtS(), Qt::LeftButton);
        QTest::keyClick(p.form.txtS(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(p.form.txtS()->text(), pasted.left(32767));
        const QString note =
            "Text cut: this field holds at most 32767 characters; the rest was left out.";
        QCOMPARE(p.form.txtS()->toolTip(), note);
        QCOMPARE(p.form.txtS()->accessibleDescription(), note);
        QTRY_COMPARE(QToolTip::text(), note); // shown at once beside the field
        QCOMPARE(p.form.txtS()->accessibleName(), QString("Signs to be send via TxD")); // kept
        later(0, [&p] { p.form.txtTime()->setText("0000"); });
        QByteArray wire;
        QTimer reader; // keeps the line flowing
        connect(&reader, &QTimer::timeout, this, [&] { wire += p.board.read(1, 0); });
        reader.start(5);
        p.form.cmdSend()->click();
        wire += p.board.read(300);
        QVERIFY(wire == expected); // every byte, in order
        QVERIFY(p.form.txtS()->toolTip().isEmpty() &&
                p.form.txtS()->accessibleDescription().isEmpty());
    }
};

QTEST_MAIN(SendsAndFieldsTest)
#include "tst_typed_fields.moc"
