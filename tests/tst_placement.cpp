// Window placement: centring, the typed position, and the position fields
// that follow the window. Moves land on whole pixels: 2500 twips give 2505.
#include "program.h"
#include "view/window_position.h"

#include <QLineEdit>
#include <QTest>

namespace {
void focusOn(QWidget* field) {
    field->setFocus();
    QCoreApplication::processEvents();
}
} // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void centredEdgeIsHalfTheRoomLeft() {
        // 1920 x 1200 pixels of screen, 16680 x 16320 twips of window.
        QCOMPARE(centredEdge(28800, 16680), 6060.0f);
        QCOMPARE(centredEdge(18000, 16320), 840.0f);
    }

    void setPositionReadsTheNumberAtTheStart() {
        Program p;
        p.showReady();
        const auto setPosition = [&p](const QString& left, const QString& top) {
            p.form.txtLeft->setText(left);
            p.form.txtTop->setText(top);
            p.form.cmdSetPos->click();
            QCoreApplication::processEvents();
            return windowPosition(p.form);
        };
        QCOMPARE(setPosition("2500abc", " 1 500"), QPointF(2505, 1500));
        QCOMPARE(setPosition("", ""), QPointF(0, 0));
    }

    void fieldsFollowTheWindowUnlessOneIsEdited() {
        Program p;
        p.showReady();
        p.zerbo.positionLoop.start();
        moveWindow(p.form, QPointF(3000, 2010));
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft->text() + ", " + p.form.txtTop->text(), QString("3000, 2010"));
        focusOn(p.form.txtLeft);
        p.form.txtLeft->selectAll();
        QTest::keyClicks(p.form.txtLeft, "450");
        moveWindow(p.form, QPointF(600, 750)); // moved while the user types
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft->text() + ", " + p.form.txtTop->text(), QString("450, 2010"));
        focusOn(p.form.txtS); // the edit ends: the typed left applies
        QCOMPARE(windowPosition(p.form), QPointF(450, 2010));
    }
};

QTEST_MAIN(PlacementTest)
#include "tst_placement.moc"
