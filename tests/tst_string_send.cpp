// SPDX-License-Identifier: GPL-3.0-or-later
// What a send puts on the line and what the window shows: a slot button's code, and with
// "Send" the typed text, during and after the send.
#include "base/charset.h"
#include "base/yield.h"
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "program.h"
#include "serial/comm_control.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <numeric>

class SendTest : public QObject {
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
        ReadyProgram p;
        setBackground(p.form.slot(7).character, Red); // a colour the user chose is replaced
        QTest::mouseClick(p.form.slot(code).sendButton, Qt::LeftButton);
        // From the Ready state the click leaves the port open in transmit mode.
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

    // typed | on the line | bar:txtO:bytes sent at bar 1, 2 and the end. Tag: what runs before the
    // second character (a slot neither moves the send nor stops it, a Send is ignored). An empty
    // field sends the prompt, shown in txtS meanwhile; beyond 8 bits goes out as "?".
    void textOnTheLine_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("empty") << QStringList{
            "", "You can input your own text here and click the command button 'Send' again.",
            "1:89:1 2:111:2 0:46:75"};
        QTest::newRow("8 bits") << QStringList{"\u20ac\u00e9\u4e2d\U0001F600A",
                                               QString::fromLatin1("\x80\xe9??A"),
                                               "1:128:1 2:233:2 0:65:5"};
        QTest::newRow("slot 90") << QStringList{"ABC", "AZBC", "1:65:1 2:66:3 0:67:4"};
        QTest::newRow("Send") << QStringList{"ABC", "ABC", "1:65:1 2:66:2 0:67:3"};
    }
    void textOnTheLine() {
        QFETCH(QStringList, row);
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
            later(0, [&] { // runs at the yield before the second character
                if (QTest::currentDataTag() == QString("slot 90"))
                    p.form.slot(90).sendButton->click();
                else if (QTest::currentDataTag() == QString("Send"))
                    p.form.cmdSend()->click();
            });
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
    // A send started in receive mode selects TxD without running its handler half way through
    // the state: a click queued then is handled at the send's first yield, on the whole
    // String-sending state, RxD and Com1 disabled and the port shown open.
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

    // 100 Down presses queued at once (a fast key repeat on a busy machine):
    // each runs nested in the yields of the one before, yet the board gets
    // 1..100 in key order, and the window shows the last, where the focus is.
    void queuedDownPressesKeepTheirOrder() {
        ReadyProgram p;
        QTest::mouseClick(p.form.slot(0).sendButton, Qt::LeftButton);
        QCOMPARE(p.board.read(), QByteArray(1, '\0'));
        // Timers, not posted events: they fire inside the yields of a running
        // handler, as key events from the window system do. Each press goes
        // to the focus of its moment.
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
    // A paste longer than txtS holds is cut at 32767 characters, the field says so, and the
    // send sends what the field holds without pauses: each character, 8-bit ones mixed in, as
    // its one byte, in order. Once shorter again, the note goes.
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

QTEST_MAIN(SendTest)
#include "tst_string_send.moc"
