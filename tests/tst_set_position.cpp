// SPDX-License-Identifier: GPL-3.0-or-later
// "Set form position" takes Left and Top as the fields read when it is clicked, read leniently
// ("2500abc" is 2500, " 1 500" is 1500), and a loosely written value stays in its field while
// the focus moves on: only the move itself brings the window's position back into the fields.
#include "form/form_scale.h"
#include "form/window_position.h"
#include "program.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>

namespace {
// Clicks into the field, as the user does, and types over its text.
void typeInto(QLineEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

bool near(QPointF twips, QPointF expected) {
    const QPointF off = twips - expected;
    return qAbs(off.x()) <= twipsPerPixel() && qAbs(off.y()) <= twipsPerPixel();
}
} // namespace

class SetPositionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // Left typed | Top typed | txtLeft once the focus left it | where the window ends. A plain
    // number applies as its field loses the focus; the window then stands on a whole pixel.
    void bothFieldsTypedThenSet_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("both loose") << QStringList{"2500abc", " 1 500", "2500abc", "2500, 1500"};
        QTest::newRow("plain left, loose top")
            << QStringList{"2500", " 1 500", "2505", "2500, 1500"};
        QTest::newRow("empty left, plain top") << QStringList{"", "2010", "", "0, 2010"};
    }
    void bothFieldsTypedThenSet() {
        QFETCH(QStringList, row);
        Program p;
        p.showReady();
        moveWindow(p.form, {1005, 1005});
        p.zerbo.positionLoop.start();
        typeInto(p.form.txtLeft(), row[0]);
        typeInto(p.form.txtTop(), row[1]); // the focus leaves txtLeft
        QCOMPARE(QApplication::focusWidget(), p.form.txtTop());
        QCOMPARE(p.form.txtLeft()->text(), row[2]);
        QCOMPARE(p.form.txtTop()->text(), row[1]);             // still being typed
        QTest::mouseClick(p.form.cmdSetPos(), Qt::LeftButton); // the focus leaves txtTop
        QCoreApplication::processEvents();
        const QStringList to = row[3].split(", ");
        const QPointF target(to[0].toDouble(), to[1].toDouble());
        QVERIFY2(near(windowPosition(p.form), target),
                 qPrintable(QString("at %1, %2")
                                .arg(windowPosition(p.form).x())
                                .arg(windowPosition(p.form).y())));
        // After the move the fields show where the window stands.
        const QPointF at = windowPosition(p.form);
        QCOMPARE(p.form.txtLeft()->text() + ", " + p.form.txtTop()->text(),
                 QString("%1, %2").arg(qRound(at.x())).arg(qRound(at.y())));
    }

    // A click from Left into Top ends Left's edit and begins Top's: the window moves to Left,
    // and a move while Top is typed leaves what is typed there.
    void clickIntoTopKeepsItsEdit() {
        Program p;
        p.showReady();
        moveWindow(p.form, {1005, 1005});
        p.zerbo.positionLoop.start();
        typeInto(p.form.txtLeft(), "2500");
        typeInto(p.form.txtTop(), "1234");
        QVERIFY(near(windowPosition(p.form), {2505, 1005}));
        moveWindow(p.form, {3000, 1005});
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtTop()->text(), QString("1234"));
        QCOMPARE(p.zerbo.state.PositionEditing, qint16(1));
    }
};

QTEST_MAIN(SetPositionTest)
#include "tst_set_position.moc"
