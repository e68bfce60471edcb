// Whatever is typed into the fields read as numbers (the pause txtTime, the
// continuous send's code txtO, the position txtLeft and txtTop) neither ends,
// stalls nor crashes the program: what the user sees and what goes out.
#include "app/form_style.h"
#include "app/option_button.h"
#include "app/option_group.h"
#include "dialogs.h"
#include "program.h"
#include "table/charset.h"
#include "view/window_position.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
const QString Digits(32767, '9'); // as many as a field takes

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

// Runs the action at a yield of the running operation once wire, filled from
// the board, holds size bytes, or at the deadline so that a failing case ends.
// The window carries the polling timer: none outlives the case.
void onceOnTheLine(Program& p, QByteArray& wire, qsizetype size, QDeadlineTimer deadline,
                   std::function<void()> action) {
    QTimer::singleShot(5, &p.form, [&p, &wire, size, deadline, action] {
        wire += p.board.read(10, 2);
        if (wire.size() < size && !deadline.hasExpired())
            return onceOnTheLine(p, wire, size, deadline, action);
        wire += p.board.read(50, 20); // what was still on its way
        action();
    });
}
void afterBytes(Program& p, QByteArray& wire, int n, std::function<void()> action) {
    onceOnTheLine(p, wire, wire.size() + n, QDeadlineTimer(2000), std::move(action));
}

// Ready, transmit mode already selected: selecting it at the start of a send
// would yield before the send has applied its minimum pause.
void readyToSend(Program& p) {
    p.showReady();
    p.form.options->select(p.form.optTxD);
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

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    // The position fields are read in the user's format: pin one.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // txtTime during a run of Man, Send and the continuous send: the typed
    // text ("=") where it reaches their minimum pause, else the minimum.
    void pauseField_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("during");
        for (const char* row :
             {"<empty> | 10 | 100 | 50", "<blanks> | 10 | 100 | 50", "+ | 10 | 100 | 50",
              "- | 10 | 100 | 50", "-0 | 10 | 100 | 50", "-5 | 10 | 100 | 50", "5 | 10 | 100 | 50",
              "12abc | = | 100 | 50", "65.5 | = | 100 | =", "250 | = | = | =", "1e400 | = | = | =",
              "&HFFFFFFFF | = | = | =", "&O777777777777 | = | = | =", "<digits> | = | = | =",
              "٣ | 10 | 100 | 50", "三 | 10 | 100 | 50", "Ж | 10 | 100 | 50"}) {
            const QStringList cell = cells(row);
            for (int op = 1; op <= 3; ++op) {
                const char* operation = std::array{"Man", "Send", "SendC"}[op - 1];
                QTest::addRow("%s %s", operation, row)
                    << operation << cell[0] << (cell[op] == "=" ? cell[0] : cell[op]);
            }
        }
    }
    void pauseField() {
        QFETCH(QString, operation);
        QFETCH(QString, typed);
        QFETCH(QString, during);
        Program p;
        readyToSend(p);
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
            if (operation == "SendC")
                afterBytes(p, wire, 2, [&] { p.form.cmdStopC->click(); });
        });
        (operation == "Man"    ? p.form.cmdMan
         : operation == "Send" ? p.form.cmdSend
                               : p.form.cmdSendC)
            ->click();
        wire += p.board.read(300);
        QCOMPARE(shown, during);
        QCOMPARE(p.form.txtTime->text(), operation == "Man" ? QString() : again);
        if (operation == "SendC")
            QVERIFY(wire.size() >= 2 && wire == QByteArray(wire.size(), 'C'));
        else
            QCOMPARE(wire, operation == "Man" ? wholeTable() : QByteArray("AB"));
    }

    // A code typed while the continuous send runs: typed | code sent from the
    // next pass on, or refused | the slot marked green.
    void codeField_data() {
        addRows({"<empty> | refused", "<blanks> | 0 | 0", "+ | 0 | 0", "- | 0 | 0", "-0 | 0 | 0",
                 "65.5 | 66 | 66", "256 | refused", "-1 | refused", "1e400 | refused",
                 "&HFFFFFFFF | refused", "&O777777777777 | refused", "<digits> | refused",
                 "٣ | 0 | 0", "三 | 0 | 0", "Ж | 0 | 0"});
    }
    void codeField() {
        QFETCH(QStringList, row);
        const QString typed = row[0];
        Program p;
        p.showReady();
        p.form.txtO->setText("65");
        MessageBoxAnswerer answerer;
        QByteArray before, after;
        QString shown;
        QStringList green;
        afterBytes(p, before, 2, [&] {
            p.form.txtO->setText(typed);
            afterBytes(p, after, 2, [&] {
                shown = p.form.txtO->text();
                for (int i = 0; i < FrmAscii::SlotCount; ++i)
                    if (background(p.form.txtN[i]) == Green)
                        green << QString::number(i);
                p.form.cmdStopC->click(); // harmless once a refusal ended the send
            });
        });
        p.form.cmdSendC->click();
        if (row[1] == "refused") {
            QCOMPARE(answerer.count(), 1);
            QCOMPARE(answerer.lastTitle(), QString("ZERBO"));
            QCOMPARE(answerer.lastText(), QString("Input an Integer-Number between 0 bis 255 and "
                                                  "push the Command Button again "));
            QCOMPARE(p.board.read(100), QByteArray()); // nothing after the bad code
            QCOMPARE(p.form.txtO->text(), typed);
            QCOMPARE(background(p.form.txtO), Red);
            QCOMPARE(p.form.focusWidget(), p.form.txtO);
            QVERIFY(p.form.optSendC->isChecked() && p.form.cmdStopC->isEnabled());
            return;
        }
        after += p.board.read(100);
        QCOMPARE(answerer.count(), 0);
        QCOMPARE(shown, typed);
        QVERIFY(after.size() >= 2 && after == QByteArray(after.size(), char(row[1].toInt())));
        QCOMPARE(green.join(' '), row[2]);
    }

    // The window stands at left 1500, top 1995 twips. field | typed | the text
    // once the field is left | the edge once the position loop applied it |
    // the edge after "Set form position". Edges are where the window is sent,
    // a million pixels (15000000 twips) off at most; it lands within three
    // pixels (whole pixels, and the window system may nudge it by its frame).
    void positionField_data() {
        addRows({"left | <empty> | <empty> | 1500 | 0",
                 "left | <blanks> | <blanks> | 1500 | 0",
                 "left | + | + | 1500 | 0",
                 "left | - | - | 1500 | 0",
                 "left | -0 | -0 | 0 | 0",
                 "left | 65.5 | 65.5 | 65 | 65",
                 "left | -9000 | -8000 | -8000 | -9000",
                 "left | 20000 | 13000 | 13000 | 20000",
                 "left | 13000 | 13000 | 13000 | 13000",
                 "left | 20000abc | 20000abc | 1500 | 20000",
                 "left | 1e39 | 13000 | 13000 | 15000000",
                 "left | 1e400 | 13000 | 13000 | 15000000",
                 "left | &HFFFFFFFF | &HFFFFFFFF | 1500 | 15000000",
                 "left | &O777777777777 | &O777777777777 | 1500 | 15000000",
                 "left | <digits> | 13000 | 13000 | 15000000",
                 "left | ٣ | ٣ | 1500 | 0",
                 "left | 三 | 三 | 1500 | 0",
                 "left | Ж | Ж | 1500 | 0",
                 "top | <empty> | <empty> | 1995 | 0",
                 "top | -8000 | -8000 | -8000 | -8000",
                 "top | 5000 | 3000 | 3000 | 5000",
                 "top | -1e400 | -8000 | -8000 | -15000000",
                 "top | <digits> | 3000 | 3000 | 15000000",
                 "top | Ж | Ж | 1995 | 0"});
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
        QCOMPARE(field->text(), row[2]);
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

    // txtS at its limit, 8-bit characters mixed in, without pauses: every
    // character goes out as its one byte, in order, and the bar shows the
    // share already sent.
    void longestTextGoesOutWhole() {
        Program p;
        readyToSend(p);
        QString text;
        QByteArray expected;
        for (int i = 0; i < 32767; ++i) {
            const auto code = static_cast<unsigned char>(32 + i % 224);
            text += charFromByte(code);
            expected += char(code);
        }
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
        const auto differs = std::mismatch(wire.begin(), wire.end(), expected.begin()).first;
        QVERIFY2(wire == expected, qPrintable(QString("from byte %1").arg(differs - wire.begin())));
        QCOMPARE(offTheMark, QStringList());
        QCOMPARE(highest, 78);
        QCOMPARE(p.form.prgBar->value(), 0);
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_bad_input.moc"
