// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard focus while an operation started with Space runs and after it: never on Exit,
// where the next Space would end the program. A button disabled while its operation runs gets
// the focus back once enabled again.
#include "form/option_group.h"
#include "program.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
// How the focus was left before the click.
using Start = void (*)(Program&);

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}
} // namespace

Q_DECLARE_METATYPE(Start)

class KeyboardFocusTest : public QObject {
    Q_OBJECT

private slots:
    // The button pressed with Space | where the focus is after the operation.
    void focusNeverLandsOnExit_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        QTest::newRow("New") << "cmdNew"
                             << "cmdNew";
        QTest::newRow("Man") << "cmdMan"
                             << "cmdMan";
        QTest::newRow("Com1, receiving") << "cmdCom1"
                                         << "cmdCom1";
        QTest::newRow("Send") << "cmdSend"
                              << "txtS"; // the send's own choice, for the next text
        QTest::newRow("Send continuously, then Stop") << "cmdSendC"
                                                      << "cmdStopC";
    }
    void focusNeverLandsOnExit() {
        QFETCH(QString, button);
        QFETCH(QString, after);
        ReadyProgram p;
        auto* pressed = p.form.findChild<QPushButton*>(button);
        // While it runs, each operation disables a button of its own.
        const std::map<QString, QWidget*> disabledMeanwhile{{"cmdNew", p.form.cmdNew()},
                                                            {"cmdMan", p.form.cmdMan()},
                                                            {"cmdCom1", p.form.cmdCom1()},
                                                            {"cmdSend", p.form.cmdSendC()},
                                                            {"cmdSendC", p.form.cmdSend()}};
        QWidget* sign = disabledMeanwhile.at(button);
        p.form.options()->select(p.form.optRxD()); // Com1 receives
        p.form.txtTime()->setText("10");
        p.form.txtS()->setText("AB");
        p.form.txtO()->setText("65");
        QString during;
        waitUntil([sign] { return !sign->isEnabled(); },
                  [&] {
                      during = focusName();
                      if (button == "cmdCom1")
                          onceWaiting(p, [&p] { p.board.write(wholeTable()); });
                      if (button == "cmdSendC") {
                          p.form.cmdStopC()->setFocus();
                          QTest::keyClick(p.form.cmdStopC(), Qt::Key_Space);
                      }
                  });
        pressed->setFocus();
        QTest::keyClick(pressed, Qt::Key_Space);
        QTRY_VERIFY(sign->isEnabled()); // the operation has ended
        QVERIFY2(during != "cmdExit" && !during.isEmpty(), qPrintable(during));
        QCOMPARE(focusName(), after);
    }

    // Man clicked with the mouse while the window was not active (the board's
    // window in front), after each way the focus may have been left: the
    // window is activated during the fill, and the focus still never lands on
    // Exit. It is back on Man once the fill has ended.
    void focusNeverLandsOnExitAfterActivation_data() {
        QTest::addColumn<Start>("start");
        QTest::newRow("after the table: no focus") << Start([](Program& p) {
            if (QWidget* focus = p.form.focusWidget())
                focus->clearFocus();
        });
        QTest::newRow("after New by mouse")
            << Start([](Program& p) { QTest::mouseClick(p.form.cmdNew(), Qt::LeftButton); });
        QTest::newRow("after New by its accessible action") << Start([](Program& p) {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(p.form.cmdNew());
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        });
        QTest::newRow("from a field") << Start([](Program& p) { p.form.txtS()->setFocus(); });
    }
    void focusNeverLandsOnExitAfterActivation() {
        QFETCH(Start, start);
        ReadyProgram p;
        p.form.options()->select(p.form.optRxD());
        start(p);
        QTRY_VERIFY(p.form.cmdMan()->isEnabled());
        QWidget other; // the board's window, say
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        p.form.txtTime()->setText("10");
        QString during;
        waitUntil([&] { return !p.form.cmdMan()->isEnabled(); },
                  [&] {
                      p.form.activateWindow();
                      later(50, [&] {
                          during = focusName();
                          p.form.txtTime()->clear(); // the rest of the fill at once
                      });
                  });
        QTest::mouseClick(p.form.cmdMan(), Qt::LeftButton);
        QTRY_VERIFY(p.form.cmdMan()->isEnabled());
        QVERIFY2(during == "frmASCII", qPrintable(during)); // the window itself
        QCOMPARE(focusName(), "cmdMan");
    }
};

QTEST_MAIN(KeyboardFocusTest)
#include "tst_keyboard_focus.moc"
