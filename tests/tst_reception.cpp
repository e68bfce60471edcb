// SPDX-License-Identifier: GPL-3.0-or-later
// The table: the board's table taken at start-up over a pseudo-terminal (however the bytes
// are grouped on the line, every code lands in its slot), and without a board the local fill,
// the control-code names and the reset.
#include "base/charset.h"
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "form/slot_style.h"
#include "form/status_line.h"
#include "form/window_position.h"
#include "program.h"
#include "standard_error.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class TableTest : public QObject {
    Q_OBJECT

    // Every code in its slot (0 numbered but shows no character), the last one shown, the port
    // closed and "closed" ticked: the Ready state after reception.
    static void verifyCompleteTable(Program& p) {
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(p.form.slot(i).character->text(),
                     i ? textFromByte(static_cast<unsigned char>(i)) : "");
        QCOMPARE(p.form.txtO()->text() + " " + bitRow(p.form), QString("255 bbrrrrrr"));
        QVERIFY(!p.zerbo.port().PortOpen() && p.form.chkClosed()->isChecked());
    }

    // Runs the fill with its pauses emptied once it has started, so that it runs at once.
    static void fill(Program& p) {
        later(0, [&] {
            QVERIFY(!p.form.cmdMan()->isEnabled()); // no second fill inside this one
            p.form.txtTime()->clear();
        });
        p.form.cmdMan()->click();
    }

    // Slot i's text and font size, as "A/16".
    static QString shown(Program& p, int i) {
        return p.form.slot(i).character->text() + "/" +
               QString::number(p.form.slot(i).character->font().pointSizeF());
    }

    // Clicks "names of the control codes"; what slots 0, 9, 13, 32 and 33 show then.
    static QString names(Program& p) {
        QTest::mouseClick(p.form.chkA(), Qt::LeftButton);
        return shown(p, 0) + " " + shown(p, 9) + " " + shown(p, 13) + " " + shown(p, 32) + " " +
               shown(p, 33);
    }

private slots:
    void startupTakesTheTableHoweverGrouped_data() {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::newRow("one write") << QList<QByteArray>{wholeTable()};
        QList<QByteArray> single;
        for (int code = 0; code < 256; ++code)
            single << QByteArray(1, char(code));
        QTest::newRow("byte by byte") << single;
    }
    void startupTakesTheTableHoweverGrouped() {
        QFETCH(QList<QByteArray>, reads);
        Program p;
        // One chunk every few milliseconds, so that each arrives as a read of its own.
        qsizetype next = 0;
        QTimer feeder;
        feeder.setInterval(2);
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            if (next < reads.size())
                p.board.write(reads[next++]);
        });
        onceWaiting(p, [&] {
            feeder.start(); // first, so that a failing check cannot leave start-up waiting
            // Shown, and the user can leave but start nothing else meanwhile.
            QVERIFY(p.form.isVisible() && p.form.cmdExit()->isEnabled() &&
                    !p.form.cmdCom1()->isEnabled());
        });
        p.zerbo.Form_Load();
        verifyCompleteTable(p);
        QCOMPARE(p.form.cmbFontSize()->count(), 9); // start-up went on once the table was in
        QCOMPARE(windowPosition(p.form), QPointF(1005, 1005)); // 1000 twips, to the pixel
    }

    // What the board's table became on the line, checked against 0 to 255 in order once it
    // ends (with code 255): the status line and standard error say what came, worded as the
    // cable test words it, and a code that did not come shows its number in grey. Bytes sent |
    // what the status line says | the first line on standard error | slots greyed.
    void tableIsChecked_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QList<int>>("greyed");
        const QByteArray table = wholeTable();
        QTest::newRow("sound") << table << "256 of 256 codes arrived intact and in order"
                               << QList<int>{};
        QTest::newRow("code 100 missing")
            << QByteArray(table).remove(100, 1) << "255 of 256 codes arrived intact: missing 100"
            << QList<int>{100};
        QTest::newRow("code 100 twice")
            << QByteArray(table).insert(100, char(100))
            << "256 of 256 codes arrived intact: 1 byte more than sent" << QList<int>{};
        QTest::newRow("300 bytes: 44 past 255")
            << table + table.left(44) << "256 of 256 codes arrived intact: 44 bytes more than sent"
            << QList<int>{};
        QTest::newRow("a burst of zeros")
            << QByteArray(table).insert(101, QByteArray(20, '\0'))
            << "256 of 256 codes arrived intact: 20 bytes more than sent" << QList<int>{};
        QTest::newRow("100 and 101 swapped")
            << QByteArray(table).replace(100, 2, "\x65\x64")
            << "254 of 256 codes arrived intact: 2 codes wrong; not in order" << QList<int>{};
    }
    void tableIsChecked() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        QFETCH(QList<int>, greyed);
        Program p;
        onceWaiting(p, [&] {
            QCOMPARE(p.form.statusLine()->news(), "Waiting for the board: press its key 1");
            p.board.write(bytes);
        });
        const QString said = standardErrorOf([&] { p.zerbo.Form_Load(); });
        QCOMPARE(p.form.statusLine()->news(), says);
        QCOMPARE(said.section('\n', 0, 0), "zerbo: the table on COM1: " + says);
        QList<int> grey;
        for (int code = 0; code < 256; ++code)
            if (textColour(p.form.slot(code).number) == Grey)
                grey << code;
        QCOMPARE(grey, greyed);
        // The names of the control codes go only where a code came.
        QTest::mouseClick(p.form.chkA(), Qt::LeftButton);
        for (int code : greyed)
            if (code <= 32)
                QCOMPARE(p.form.slot(code).character->text(), QString());
    }

    // A wire that loses bit 5: code 255 never comes, and the reception waits for it; once the
    // line has been quiet for a second the status line says what has come so far.
    void aQuietLineIsCheckedSoFar() {
        Program p;
        QByteArray noBit5 = wholeTable();
        for (char& byte : noBit5)
            byte = char(byte & ~0x20);
        const QString soFar = "No code 255 yet, the line quiet for 1 s: 128 of 256 codes arrived "
                              "intact: bit 5 always 0: check the wiring of TxD";
        onceWaiting(p, [&] {
            p.board.write(noBit5);
            waitUntil([&] { return p.form.statusLine()->news().startsWith("No code 255"); },
                      [&] {
                          QVERIFY2(p.form.statusLine()->news().startsWith(soFar),
                                   qPrintable(p.form.statusLine()->news()));
                          QVERIFY(p.zerbo.port().PortOpen()); // still waiting
                          p.board.write("\xff");
                      });
        });
        p.zerbo.Form_Load();
        QVERIFY(p.form.chkClosed()->isChecked());
    }

    // Transmit mode chosen while start-up waits: the outer reception still takes
    // the table; afterwards the Ready state allows a new reception.
    void transmitModeNestedInAWaitingReceptionThenANewReception() {
        Program p;
        onceWaiting(p, [&] {
            p.board.write(wholeTable()); // read only once the outer reception waits again
            QTest::mouseClick(p.form.optTxD(), Qt::LeftButton);
            p.form.cmdCom1()->click();
            // Ready to send, and the outer reception still listens.
            QVERIFY(p.form.slot(7).sendButton->isEnabled() && p.zerbo.port().PortOpen());
        });
        p.zerbo.Form_Load();
        verifyCompleteTable(p);
        p.form.cmdCom1()->click(); // without a mode: nothing happens
        QCOMPARE(numberedSlots(p.form), 256);
        QCOMPARE(p.zerbo.port().PortOpen(), false);
        QTest::mouseClick(p.form.optRxD(), Qt::LeftButton);
        onceWaiting(p, [&] {
            p.board.write(wholeTable());
            QCOMPARE(numberedSlots(p.form), 0); // emptied before waiting
        });
        p.form.cmdCom1()->click();
        verifyCompleteTable(p);
    }

    // The fill puts every code on the line and in the table. Slots 0 to 32 get their names and
    // the small font, on an empty table and over a filled one; the rest stays.
    void fillAndControlCodeNames() {
        ReadyProgram p; // as after start-up without a board: nothing received
        QCOMPARE(names(p), QString("NUL/10 HTB/10 CR/10 SP/10 /9.75"));
        QCOMPARE(numberedSlots(p.form), 33);
        fill(p);
        QCOMPARE(p.board.read(500), wholeTable());
        QCOMPARE(numberedSlots(p.form), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(shown(p, i), textFromByte(static_cast<unsigned char>(i)) + "/16");
        QCOMPARE(p.form.txtO()->text() + " " + bitRow(p.form), QString("255 bbrrrrrr"));
        QCOMPARE(p.form.statusLine()->news(),
                 "Filled without the board; each code was also sent on COM1");
        QVERIFY(p.form.cmdMan()->isEnabled() && p.form.slot(100).sendButton->isEnabled());
        p.form.slot(40).sendButton->setEnabled(false);
        markCurrentSlot(p.form, 20);
        setBackground(p.form.slot(65).character, Green);
        QCOMPARE(names(p), QString("NUL/10 HTB/10 CR/10 SP/10 !/16"));
        QVERIFY(!p.form.slot(40).sendButton->isEnabled()); // slot buttons keep their state
        QCOMPARE(background(p.form.slot(20).character),
                 White); // the green mark of a named slot goes
        QCOMPARE(background(p.form.slot(65).character), Green); // beyond 32 it stays
        QVERIFY(!p.form.chkA()->isChecked());
    }

    void resetEmptiesEverythingButTheLine() {
        ReadyProgram p;
        fill(p);
        p.zerbo.port().openSequence();
        p.form.txtS()->setText("typed");
        p.form.txtTime()->setText("123");
        markCurrentSlot(p.form, 200);
        setBackground(p.form.txtO(), Red); // a code the continuous send refused
        p.form.cmdNew()->click();          // leaves the port and the pause alone
        QCOMPARE(numberedSlots(p.form), 0);
        QCOMPARE(p.form.statusLine()->news(),
                 "The table is empty: to receive again, pick RxD Receive, then Com1");
        for (int i = 0; i < 256; ++i)
            QVERIFY(shown(p, i) == "/10" && background(p.form.slot(i).character) == White);
        QCOMPARE(bitRow(p.form) + p.form.txtO()->text() + p.form.txtS()->text(),
                 QString("wwwwwwww"));
        QCOMPARE(background(p.form.txtO()), White);
        QCOMPARE(p.form.txtTime()->text() + " " + p.form.legend()[0].name->text(),
                 QString("123 NUL"));
        QVERIFY(p.zerbo.port().PortOpen() && !p.form.prgBar()->isHidden());
    }
};

QTEST_MAIN(TableTest)
#include "tst_reception.moc"
