// The typed fields and what reads them: the pause (txtTime), the continuous
// send's code (txtO), the position (txtLeft, txtTop) and the text (txtS).
// Whatever is typed, and Stop or a second start at any moment, neither ends,
// stalls nor crashes the program.
#include "app/form_style.h"
#include "app/option_button.h"
#include "app/option_group.h"
#include "dialogs.h"
#include "program.h"
#include "serial/comm_control.h"
#include "table/charset.h"
#include "view/window_position.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {
const QString Digits(32767, '9'); // as many as a field takes
enum Operation { Man, Send, SendC };

// The cells of a table row, split at "|"; texts that do not show plainly have names.
QStringList cells(const char* row) {
    const QHash<QString, QString> named = {
        {"<empty>", ""}, {"<blanks>", "   "}, {"<digits>", Digits}};
    QStringList cells = QString::fromUtf8(row).split('|');
    for (QString& cell : cells)
        cell = named.value(cell.trimmed(), cell.trimmed());
    return cells;
}

void addRows(std::initializer_list<const char*> rows) {
    QTest::addColumn<QStringList>("row");
    for (const char* row : rows)
        QTest::newRow(row) << cells(row);
}

// Runs the action at a yield of the running operation once the board has
// sent n more bytes into wire, or at the deadline so that a failing case ends.
// The window carries the polling timer: none outlives the case.
void afterBytes(Program& p, QByteArray& wire, qsizetype n, std::function<void()> action,
                QDeadlineTimer deadline = QDeadlineTimer(2000)) {
    QTimer::singleShot(5, &p.form, [&p, &wire, n, action, deadline] {
        const QByteArray got = p.board.read(10, 2);
        wire += got;
        if (got.size() < n && !deadline.hasExpired())
            return afterBytes(p, wire, n - got.size(), action, deadline);
        wire += p.board.read(50, 20); // what was still on its way
        action();
    });
}

// At least n bytes on the line, all of them code.
bool repeated(const QByteArray& wire, int code, int n) {
    return wire.size() >= n && wire == QByteArray(wire.size(), char(code));
}

// The last key lands from an event queued before the focus moves, so the
// field's text is judged only once the focus-lost handling yields.
void typeAndLeave(Program& p, QLineEdit* field, const QString& typed) {
    field->setFocus();
    QCoreApplication::processEvents();
    QTimer::singleShot(0, field, [field, typed] { field->setText(typed); });
    p.form.txtS->setFocus();
    QCoreApplication::processEvents();
}
} // namespace

class TypedFieldsTest : public QObject {
    Q_OBJECT

private slots:
    // The position fields are read in the user's format: pin one.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // txtTime during a run of Man, Send and the continuous send: the typed
    // text ("=") where it reaches their minimum pause, else the minimum.
    void pauseField_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("during");
        for (const char* row :
             {"<empty> | 10 | 100 | 50", "<blanks> | 10 | 100 | 50", "- | 10 | 100 | 50",
              "-0 | 10 | 100 | 50", "12abc | = | 100 | 50",
              "65.5 | = | 100 | =", "1e400 | = | = | =", "&HFFFFFFFF | = | = | =",
              "&O777777777777 | = | = | =", "<digits> | = | = | =", "٣ | 10 | 100 | 50"}) {
            const QStringList cell = cells(row);
            for (int op : {Man, Send, SendC})
                QTest::addRow("%s %s", std::array{"Man", "Send", "SendC"}[op], row)
                    << op << cell[0] << (cell[op + 1] == "=" ? cell[0] : cell[op + 1]);
        }
    }
    void pauseField() {
        QFETCH(int, operation);
        QFETCH(QString, typed);
        QFETCH(QString, during);
        Program p;
        p.showReady();
        // Transmit mode selected already: the send's selecting it would yield
        // before the send has applied its minimum pause.
        p.form.options->select(p.form.optTxD);
        p.form.txtS->setText("AB");
        p.form.txtO->setText("67");
        p.form.txtTime->setText(typed);
        // At the first yield, before any pause: a text the operation replaced
        // is typed again (it now applies without a minimum: 0 to 66 ms), any
        // other is emptied, so the run is quick.
        const QString again = during == typed ? QString() : typed;
        QString shown;
        QByteArray wire;
        later(0, [&] {
            shown = p.form.txtTime->text();
            p.form.txtTime->setText(again);
            if (operation == SendC)
                afterBytes(p, wire, 2, [&] { p.form.cmdStopC->click(); });
        });
        std::array{p.form.cmdMan, p.form.cmdSend, p.form.cmdSendC}[operation]->click();
        wire += p.board.read(300);
        QCOMPARE(shown, during);
        QCOMPARE(p.form.txtTime->text(), operation == Man ? QString() : again);
        if (operation == SendC)
            QVERIFY(repeated(wire, 'C', 2));
        else
            QCOMPARE(wire, operation == Man ? wholeTable() : QByteArray("AB"));
    }

    // The continuous send starts with the code field empty: 141 goes out
    // until a code is typed or a slot picked: typed | code sent from the next
    // pass on, or refused | the slot marked green.
    void codeField_data() {
        addRows({"<empty> | refused", "<blanks> | 0 | 0", "- | 0 | 0", "-0 | 0 | 0",
                 "65.5 | 66 | 66", "255 | 255 | 255", "256 | refused", "-1 | refused",
                 "1e400 | refused", "&HFFFFFFFF | refused", "&O777777777777 | refused",
                 "<digits> | refused", "٣ | 0 | 0", "<slot 65> | 65 | 65"});
    }
    void codeField() {
        QFETCH(QStringList, row);
        const bool slot = row[0] == "<slot 65>"; // sends 'A' once itself
        const QString typed = slot ? "65" : row[0];
        Program p;
        p.showReady();
        MessageBoxAnswerer answerer;
        QByteArray before, after;
        QString shownBefore, shown;
        QStringList green;
        afterBytes(p, before, 2, [&] {
            shownBefore = p.form.txtO->text() + " " + bitRow(p.form);
            slot ? p.form.optS[65]->click() : p.form.txtO->setText(typed);
            afterBytes(p, after, 2, [&] {
                shown = p.form.txtO->text();
                for (int i = 0; i < FrmAscii::SlotCount; ++i)
                    if (background(p.form.txtN[i]) == Green)
                        green << QString::number(i);
                p.form.cmdStopC->click(); // harmless once a refusal ended the send
            });
        });
        p.form.cmdSendC->click();
        QCOMPARE(shownBefore, QString("141 bwwwrrwr"));
        QVERIFY(repeated(before, 141, 2));
        const bool refused = row[1] == "refused";
        QCOMPARE(answerer.count(), int(refused));
        if (refused) {
            QCOMPARE(answerer.lastTitle(), QString("ZERBO"));
            QCOMPARE(answerer.lastText(), QString("Input an Integer-Number between 0 bis 255 and "
                                                  "push the Command Button again "));
            QCOMPARE(p.board.read(100), QByteArray()); // nothing after the bad code
            QCOMPARE(p.form.txtO->text(), typed);
            QCOMPARE(background(p.form.txtO), Red);
            QCOMPARE(p.form.focusWidget(), p.form.txtO);
            QVERIFY(p.form.optSendC->isChecked() && p.form.cmdStopC->isEnabled());
            p.form.cmdStopC->click(); // with nothing running: closes the port the send left open
            QVERIFY(!p.zerbo.comTest.PortOpen() && background(p.form.txtO) == White);
            QVERIFY(p.form.prgBar->isVisible());
            return;
        }
        after += p.board.read(100);
        QCOMPARE(shown, typed);
        QVERIFY(repeated(after, row[1].toInt(), 2));
        QCOMPARE(green.join(' '), row[2]);
    }

    // The window stands at left 1500, top 1995 twips. field | typed | the text
    // once the field is left ("=": as typed) | the edge once the position loop
    // applied it | the edge after "Set form position". Edges are where the
    // window is sent, a million pixels (15000000 twips) off at most; it lands
    // within three pixels (whole pixels, and the window system may nudge it).
    void positionField_data() {
        addRows({"left | <empty> | = | 1500 | 0", "left | <blanks> | = | 1500 | 0",
                 "left | - | = | 1500 | 0", "left | -0 | = | 0 | 0", "left | 65.5 | = | 65 | 65",
                 "left | -9000 | -8000 | -8000 | -9000", "left | 20000 | 13000 | 13000 | 20000",
                 "left | 20000abc | = | 1500 | 20000", "left | 1e400 | 13000 | 13000 | 15000000",
                 "left | &HFFFFFFFF | = | 1500 | 15000000",
                 "left | &O777777777777 | = | 1500 | 15000000",
                 "left | <digits> | 13000 | 13000 | 15000000", "left | ٣ | = | 1500 | 0",
                 "top | <empty> | = | 1995 | 0", "top | 5000 | 3000 | 3000 | 5000",
                 "top | -1e400 | -8000 | -8000 | -15000000",
                 "top | <digits> | 3000 | 3000 | 15000000", "top | Ж | = | 1995 | 0"});
    }
    void positionField() {
        QFETCH(QStringList, row);
        Program p;
        p.showReady();
        const bool left = row[0] == "left";
        QLineEdit* field = left ? p.form.txtLeft : p.form.txtTop;
        const auto edgeIsNear = [&](const QString& expected) {
            const QPointF at = windowPosition(p.form);
            return qAbs((left ? at.x() : at.y()) - expected.toInt()) <= 3 * TwipsPerPixel;
        };
        const QPointF start(1500, 1995);
        moveWindow(p.form, start);
        typeAndLeave(p, field, row[1]); // no position loop runs yet
        QCOMPARE(field->text(), row[2] == "=" ? row[1] : row[2]);
        p.form.txtLeft->setText(left ? row[1] : "1500");
        p.form.txtTop->setText(left ? "1995" : row[1]);
        p.form.cmdSetPos->click();
        QCoreApplication::processEvents();
        QVERIFY(edgeIsNear(row[4]));
        moveWindow(p.form, start);
        p.zerbo.positionLoop.start();
        typeAndLeave(p, field, row[1]);
        QVERIFY(edgeIsNear(row[3]));
        const QPointF at = windowPosition(p.form);
        QCOMPARE(field->text(), QString::number(left ? at.x() : at.y()));
    }

    // The position fields follow the window, but not while the user edits one.
    void positionFieldsFollowTheWindow() {
        Program p;
        p.showReady();
        p.zerbo.positionLoop.start();
        moveWindow(p.form, QPointF(3000, 2010));
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft->text() + ", " + p.form.txtTop->text(), QString("3000, 2010"));
        p.form.txtLeft->setFocus();
        QCoreApplication::processEvents();
        p.form.txtLeft->selectAll();
        QTest::keyClicks(p.form.txtLeft, "450");
        moveWindow(p.form, QPointF(600, 750)); // moved while the user types
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft->text() + ", " + p.form.txtTop->text(), QString("450, 2010"));
        p.form.txtS->setFocus(); // the edit ends: the typed left applies
        QCoreApplication::processEvents();
        QCOMPARE(windowPosition(p.form), QPointF(450, 2010));
    }

    // "Set form center": the frame's middle on the screen's middle, within the
    // few pixels the window system may nudge a frame.
    void centreButton() {
        Program p;
        p.showReady();
        p.form.cmdCenter->click();
        QCoreApplication::processEvents();
        const QPoint off = p.form.frameGeometry().center() - p.form.screen()->geometry().center();
        QVERIFY2(qAbs(off.x()) <= 3 && qAbs(off.y()) <= 3,
                 qPrintable(QString("%1, %2").arg(off.x()).arg(off.y())));
    }

    // A stop with nothing running leaves no request behind. "1e400" ms is a
    // pause of 24 days: the window stays alive during it, a second start
    // meanwhile starts no second loop, and one click on Stop ends the send at
    // once, before another byte.
    void stopBeforeAndDuringAnEndlessPause() {
        Program p;
        p.showReady();
        p.form.txtO->setText("66");
        p.form.cmdStopC->click();
        MessageBoxAnswerer answerer;
        QByteArray wire;
        qsizetype sentBeforePause = -1;
        bool readyAtOnce = false;
        afterBytes(p, wire, 2, [&] {
            p.form.txtTime->setText("1e400");
            sentBeforePause = wire.size();
            later(100, [&] {
                p.form.cmdSendC->click();
                p.form.cmdStopC->click();
                readyAtOnce = p.form.cmdSend->isEnabled() && p.form.cmdMan->isEnabled();
            });
        });
        p.form.cmdSendC->click();
        QVERIFY(readyAtOnce);
        QCOMPARE(answerer.count(), 0);
        wire += p.board.read(100);
        QCOMPARE(wire.size(), sentBeforePause);
        QVERIFY(repeated(wire, 'B', 2));
        QVERIFY(!p.zerbo.comTest.PortOpen());
        QVERIFY(!p.form.chkOpen->isChecked() && !p.form.chkClosed->isChecked());
        QVERIFY(!p.form.optSendC->isChecked() && p.form.txtO->text().isEmpty());
        QCOMPARE(bitRow(p.form), QString("wwwwwwww"));
        QCOMPARE(background(p.form.txtN[66]), Green); // the last code sent stays marked
    }

    // txtS at its limit, 8-bit characters mixed in, without pauses: every
    // character goes out as its one byte, in order, and the bar shows the
    // share already sent.
    void longestTextGoesOutWhole() {
        Program p;
        p.showReady();
        p.form.options->select(p.form.optTxD); // as in pauseField
        QByteArray expected;
        for (int i = 0; i < 32767; ++i)
            expected += char(32 + i % 224);
        QString text;
        for (const char byte : expected)
            text += charFromByte(static_cast<unsigned char>(byte));
        p.form.txtS->setText(text + "x"); // one more than the field takes
        later(0, [&p] { p.form.txtTime->setText("0000"); });
        QByteArray wire;
        QTimer reader; // keeps the line flowing, whatever the bar does
        connect(&reader, &QTimer::timeout, this, [&] { wire += p.board.read(1, 0); });
        reader.start(5);
        QStringList offTheMark; // bar value : bytes on the line
        int highest = 0;
        connect(p.form.prgBar, &QProgressBar::valueChanged, this, [&](int value) {
            wire += p.board.read(200, 20);
            highest = std::max(highest, value);
            if (value != 0 && value != wire.size() * 78 / 32767)
                offTheMark << QString("%1:%2").arg(value).arg(wire.size());
        });
        p.form.cmdSend->click();
        wire += p.board.read(300);
        QCOMPARE(wire.size(), expected.size());
        QVERIFY(wire == expected); // every byte, in order
        QCOMPARE(offTheMark, QStringList());
        QCOMPARE(highest, 78);
        QCOMPARE(p.form.prgBar->value(), 0);
    }
};

QTEST_MAIN(TypedFieldsTest)
#include "tst_typed_fields.moc"
