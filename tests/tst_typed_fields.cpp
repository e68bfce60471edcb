// SPDX-License-Identifier: GPL-3.0-or-later
// The sends and the typed fields that feed them: whatever is typed, and Stop or a second start at
// any moment, neither ends, stalls nor crashes the program. A pause past the longest accepted
// ends it, so those cases run in a child process.
#include "app/zerbo_application.h"
#include "base/charset.h"
#include "base/yield.h"
#include "child_scenario.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QToolTip>
#include <cstdio>
#include <numeric>

namespace {
// The field typed into: the pause during Man, Send or SendC, the code (or a slot clicked for
// it), the window's left or top edge.
enum Field { Man, Send, SendC, Code, CodeBySlot, Left, Top };
// Taken (raised, rounded or held in bounds as shown), refused with a box, or a pause that Man
// waits out or that ends the program.
enum Outcome { Taken, Refused, Waits, Ends };
// What the user then sees in the field, and the code sent or the edge reached as it is left;
// set: where "Set form position" puts that edge.
struct Typed {
    Field field;
    QString typed;
    Outcome outcome;
    QString shown;
    int value = 0;
    int set = 0;
};
// Left and Top typed, then "Set form position" pressed for heldMs (after a Tab, or released off
// the button and then Tab); the left field as Top is typed, and where the window ends.
struct SetPress {
    QString left, top, leftShown;
    int heldMs;
    bool tabFirst, releasedOff;
    QPointF endsAt;
};
} // namespace

using FormAction = std::function<void(FrmAscii&)>;
Q_DECLARE_METATYPE(FormAction)
Q_DECLARE_METATYPE(Field)
Q_DECLARE_METATYPE(Typed)
Q_DECLARE_METATYPE(SetPress)

namespace {
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

// The slots not white: a green one by its number, another with its colour.
QString colouredSlots(const FrmAscii& form) {
    QStringList coloured;
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        if (const QColor c = background(form.slot(i).character); c != White)
            coloured << QString::number(i) + (c == Green ? "" : ":" + c.name());
    return coloured.join(' ');
}

// The window moved to left and top 1005 twips, the position fields following it.
void startAt1005(ReadyProgram& p) {
    moveWindow(p.form, {1005, 1005});
    p.zerbo.placement().followWindow();
}

// Child side: the pause typed, then a click on Man. What the user and the board see is printed
// when the box shows, or after a while without one; then the box is answered or Exit clicked.
int playPause(const QString& pause) {
    Program p;
    showReady(p.form);
    p.form.slot(65).number->setText("065"); // a table the fill would empty
    p.form.txtTime()->setText(pause);
    const auto seen = [&p](const char* what) {
        std::printf("%s | wire: %s | lblN(65): %s | txtTime: %s\n", what,
                    p.board.read(50, 10).toHex().constData(),
                    qPrintable(p.form.slot(65).number->text()),
                    qPrintable(p.form.txtTime()->text()));
        std::fflush(stdout);
    };
    onNextMessageBox([seen](QMessageBox& box) {
        std::printf("box: %s | %s\n", qPrintable(box.windowTitle()),
                    qPrintable(box.text().simplified()));
        seen("when the box shows");
        box.accept();
    });
    later(400, [&p, seen] {
        seen("no box");
        p.form.cmdExit()->click();
    });
    QTest::mouseClick(p.form.cmdMan(), Qt::LeftButton);
    std::puts("the fill returned");
    return 3;
}

// The pause typed before Man, Send or SendC starts: shown as the operation runs.
void pauseDuring(Field operation, const QString& typed, const QString& during) {
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

// The pause typed before Man, in a child: the fill waits after code 0, or error 6 on standard
// error and in one box, then status 1.
void pauseAtManInChild(const QString& pause, bool waits) {
    const ChildResult result = runChild(pause);
    const QString& said = result.output;
    QVERIFY2(!said.contains("returned"), qPrintable(said));
    if (waits) { // Exit ends it
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(said.contains("no box | wire: 00 | lblN(65):  | txtTime: " + pause) &&
                     !said.contains("box: ") && !said.contains("error"),
                 qPrintable(said));
        return;
    }
    const QString error = QString("Run-time error 6: Overflow: the pause \"%1\" in the field "
                                  "\"Time [ms] between the signs\" (txtTime) is longer than "
                                  "the longest pause accepted, 2147483647 ms")
                              .arg(pause);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(said.contains("zerbo: " + error), qPrintable(said)); // standard error
    QVERIFY2(said.contains("box: ZERBO | " + error), qPrintable(said));
    QCOMPARE(said.count("box: "), 1);
    // Nothing sent, nothing emptied, the value still there to see.
    QVERIFY2(said.contains("when the box shows | wire:  | lblN(65): 065 | txtTime: " + pause),
             qPrintable(said));
}

// SendC with txtO empty sends 141 until a code is typed or a slot clicked (which sends its code
// once itself): that code sent from the next pass on and its slot green, or a refusal.
void codeDuringSendC(const QString& typed, bool bySlot, bool refused, const QString& shown,
                     int sent) {
    ReadyProgram p;
    MessageBoxAnswerer answerer;
    QByteArray before, after;
    QString shownBefore, shownAfter, coloured;
    bool progressHidden = false;
    afterBytes(p, before, 2, [&] {
        progressHidden = p.form.prgBar()->isHidden(); // while the send runs
        shownBefore = p.form.txtO()->text() + " " + bitRow(p.form);
        bySlot ? p.form.slot(sent).sendButton->click() : p.form.txtO()->setText(typed);
        afterBytes(p, after, 2, [&] {
            shownAfter = p.form.txtO()->text();
            coloured = colouredSlots(p.form);
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
        QCOMPARE(p.form.txtO()->text(), shown);
        QVERIFY(background(p.form.txtO()) == Red && p.form.focusWidget() == p.form.txtO());
        QVERIFY(p.form.optSendC()->isChecked() && p.form.cmdStopC()->isEnabled());
        p.form.cmdStopC()->click(); // with nothing running: closes the port the send left open
        QVERIFY(!p.zerbo.port().PortOpen() && background(p.form.txtO()) == White);
        return;
    }
    after += p.board.read(100);
    QCOMPARE(shownAfter, shown);
    QVERIFY(repeated(after, sent, 2));
    QCOMPARE(coloured, QString::number(sent));
}

// From left 1500, top 1995 twips: the edge after "Set form position" (a million pixels off at
// most) and once the field applied the text; within three pixels, as the window system nudges.
// Then the text as the focus goes straight to Set form position, held in bounds to the twip.
void positionTyped(bool left, const QString& typed, const QString& shown, int applied, int set) {
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
    field->setFocus();
    QCoreApplication::processEvents();
    field->setText(typed);
    p.form.cmdSetPos()->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(field->text(), shown);
}
} // namespace

class SendsAndFieldsTest : public QObject {
    Q_OBJECT

private slots:
    // Positions are read in the user's format.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // Every field that takes a typed number, at both ends of the range it promises, with what
    // the user then sees there (shown) and the code sent or the window edge reached (value).
    void typedValue_data() {
        QTest::addColumn<Typed>("row");
        const auto row = [](const Typed& row) {
            static const char* const names[] = {"pause, Man", "pause, Send", "pause, SendC", "code",
                                                "code slot",  "left",        "top"};
            QTest::addRow("%s '%s'", names[row.field], qPrintable(row.typed)) << row;
        };
        // The pause: an empty or smaller one raised to 10 for Man, 100 for Send, 50 for SendC;
        // Man takes at most 2147483647 ms.
        for (const char* typed : {"", "-", "9", "10"})
            row({Man, typed, Taken, "10"});
        row({Man, "11", Taken, "11"});
        row({Man, "65.5", Taken, "65.5"});
        row({Man, "2147483646", Waits, "2147483646"});
        row({Man, "2147483647", Waits, "2147483647"});
        row({Man, "2147483647.5", Ends, "2147483647.5"}); // rounded to even
        row({Man, "2147483648", Ends, "2147483648"});
        row({Man, "1e400", Ends, "1e400"});
        for (const char* typed : {"", "-", "65.5", "99", "100"})
            row({Send, typed, Taken, "100"});
        row({Send, "101", Taken, "101"});
        row({Send, "2147483647", Taken, "2147483647"});
        for (const char* typed : {"", "-", "49", "50"})
            row({SendC, typed, Taken, "50"});
        for (const char* typed : {"51", "65.5", "2147483647"})
            row({SendC, typed, Taken, typed});
        // The code: 0 to 255; sent as typed, rounded, blanks as 0, else refused.
        for (const char* typed : {"", "-1", "256"})
            row({Code, typed, Refused, typed});
        row({Code, "   ", Taken, "   ", 0});
        row({Code, "65.5", Taken, "65.5", 66});
        for (int code : {0, 1, 254, 255})
            row({Code, QString::number(code), Taken, QString::number(code), code});
        row({CodeBySlot, "65", Taken, "65", 65});
        // Left -8000 to 13000, top -8000 to 3000: held there as the field is left; "Set form
        // position" reads the text leniently and without bounds.
        row({Left, "", Taken, "", 1500, 0});
        row({Left, "65.5", Taken, "65.5", 65, 65});
        row({Left, "-9000", Taken, "-8000", -8000, -9000});
        row({Left, "-8001", Taken, "-8000", -8000, -8001});
        row({Left, "-8000", Taken, "-8000", -8000, -8000});
        row({Left, "-7999", Taken, "-7999", -7999, -7999});
        row({Left, "12999", Taken, "12999", 12999, 12999});
        row({Left, "13000", Taken, "13000", 13000, 13000});
        row({Left, "13001", Taken, "13000", 13000, 13001});
        row({Left, "20000", Taken, "13000", 13000, 20000});
        row({Left, "1e400", Taken, "13000", 13000, 15000000});
        row({Left, "&HFFFFFFFF", Taken, "&HFFFFFFFF", 1500, 15000000});
        row({Top, "Ж", Taken, "Ж", 1995, 0});
        row({Top, "-1e400", Taken, "-8000", -8000, -15000000});
        row({Top, "-8001", Taken, "-8000", -8000, -8001});
        row({Top, "-8000", Taken, "-8000", -8000, -8000});
        row({Top, "-7999", Taken, "-7999", -7999, -7999});
        row({Top, "2999", Taken, "2999", 2999, 2999});
        row({Top, "3000", Taken, "3000", 3000, 3000});
        row({Top, "3001", Taken, "3000", 3000, 3001});
        row({Top, "5000", Taken, "3000", 3000, 5000});
    }
    void typedValue() {
        QFETCH(Typed, row);
        if (row.field == Left || row.field == Top)
            positionTyped(row.field == Left, row.typed, row.shown, row.value, row.set);
        else if (row.field == Code || row.field == CodeBySlot)
            codeDuringSendC(row.typed, row.field == CodeBySlot, row.outcome == Refused, row.shown,
                            row.value);
        else if (row.outcome == Taken)
            pauseDuring(row.field, row.typed, row.shown);
        else
            pauseAtManInChild(row.shown, row.outcome == Waits);
    }

    // "Set form position" pressed straight from Top as a real pointer does: released at the
    // press's point wherever the button has gone meanwhile. A loose value stays in its field as
    // the focus moves on and the button reads it leniently; a plain one applies.
    void positionTypedThenSet_data() {
        QTest::addColumn<SetPress>("press");
        const QPointF typed(2500, 1500);
        QTest::newRow("both loose")
            << SetPress{"2500abc", " 1 500", "2500abc", 0, false, false, typed};
        QTest::newRow("plain left") << SetPress{"2500", " 1 500", "2505", 0, false, false, typed};
        QTest::newRow("empty left") << SetPress{"", "2010", "", 0, false, false, {0, 2010}};
        QTest::newRow("quick") << SetPress{"2500abc", "1500", "2500abc", 0, false, false, typed};
        QTest::newRow("held 50 ms")
            << SetPress{"2500abc", "1500", "2500abc", 50, false, false, typed};
        QTest::newRow("held 300 ms")
            << SetPress{"2500abc", "1500", "2500abc", 300, false, false, typed};
        QTest::newRow("Tab first") << SetPress{"2500abc", "1500", "2500abc", 0, true, false, typed};
        QTest::newRow("released off")
            << SetPress{"2500abc", "1500", "2500abc", 0, false, true, {1005, 1500}};
    }
    void positionTypedThenSet() {
        QFETCH(SetPress, press);
        const auto& [left, top, leftShown, heldMs, tabFirst, releasedOff, endsAt] = press;
        ReadyProgram p;
        startAt1005(p);
        typeInto(p.form.txtLeft(), left);
        typeInto(p.form.txtTop(), top); // the focus leaves txtLeft
        QCOMPARE(QApplication::focusWidget(), p.form.txtTop());
        QCOMPARE(p.form.txtLeft()->text(), leftShown);
        QCOMPARE(p.form.txtTop()->text(), top); // still being typed
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
        const QPointF at = windowPosition(p.form);
        const QPointF missed = at - endsAt;
        QVERIFY2(qAbs(missed.x()) <= twipsPerPixel() && qAbs(missed.y()) <= twipsPerPixel(),
                 qPrintable(QString("at %1, %2").arg(at.x()).arg(at.y())));
        if (!releasedOff) // clicked: both fields show where the window went
            QCOMPARE(p.form.txtLeft()->text() + ", " + p.form.txtTop()->text(),
                     QString("%1, %2").arg(qRound(at.x())).arg(qRound(at.y())));
    }

    // A click from Left into Top applies Left; a move while Top is typed leaves Top's text.
    void clickIntoTopKeepsItsEdit() {
        ReadyProgram p;
        startAt1005(p);
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

    // A click on the slot of code, maybe clicked again, then the arrow keys pressed.
    void slotSendsItsCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("again");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QByteArray>("onLine");
        QTest::addColumn<QString>("bits");
        const QList<int> up{Qt::Key_Up}, down{Qt::Key_Down};
        QTest::newRow("0, then up: nothing more")
            << 0 << false << up << QByteArray(1, '\0') << "wwwwwwww";
        QTest::newRow("65 twice") << 65 << true << QList<int>() << QByteArray("AA") << "wbwwwwwr";
        QTest::newRow("255, then down: nothing more")
            << 255 << false << down << QByteArray("\xff") << "bbrrrrrr";
        QTest::newRow("down from 10") << 10 << false << (down + down + down + up)
                                      << QByteArray("\x0a\x0b\x0c\x0d\x0c") << "wwwwrrww";
    }
    void slotSendsItsCode() {
        QFETCH(int, code);
        QFETCH(bool, again);
        QFETCH(QList<int>, keys);
        QFETCH(QByteArray, onLine);
        QFETCH(QString, bits);
        ReadyProgram p;
        setBackground(p.form.slot(7).character, Red); // a colour the user chose is replaced
        QTest::mouseClick(p.form.slot(code).sendButton, Qt::LeftButton);
        QVERIFY(p.zerbo.port().PortOpen() && p.form.optTxD()->isChecked() &&
                p.form.chkOpen()->isChecked());
        if (again)
            QTest::mouseClick(p.form.slot(code).sendButton, Qt::LeftButton);
        for (int key : keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(p.board.read(), onLine);
        const auto shown = static_cast<unsigned char>(onLine.back());
        QCOMPARE(p.form.txtO()->text(), QString::number(shown));
        QCOMPARE(bitRow(p.form), bits);
        QCOMPARE(colouredSlots(p.form), QString::number(shown)); // only the slot shown is green
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
        QCOMPARE(colouredSlots(p.form), QString("100"));
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

int main(int argc, char** argv) {
    return mainPlayingScenarios<SendsAndFieldsTest>(argc, argv, playPause);
}
#include "tst_typed_fields.moc"
