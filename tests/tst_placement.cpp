// Window placement: centring, the typed position, and the position fields that clamp
// what is typed and follow the window. Moves land on whole pixels: 2500 twips give 2505.
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

    void clampingWhenTheFieldIsLeft_data() {
        QTest::addColumn<QString>("row"); // the field, what is typed, what the field keeps
        for (const char* row :
             {"top -9000 -8000", "left -9000 -8000", "top 20000 3000", "left 20000 13000",
              "top 13000 3000", "left 13000 13000", "top -8000 -8000", "top 5000 3000",
              "left abc abc", "left 20000abc 20000abc"})
            QTest::newRow(row) << QString(row);
    }
    // The text lands from an event queued before the focus moves, so it is judged
    // only if the handler yields first. No position loop runs to rewrite the field.
    void clampingWhenTheFieldIsLeft() {
        QFETCH(QString, row);
        const QStringList cell = row.split(' ');
        Program p;
        p.showReady();
        QLineEdit* field = cell[0] == "left" ? p.form.txtLeft : p.form.txtTop;
        focusOn(field);
        QTimer::singleShot(0, field, [field, typed = cell[1]] { field->setText(typed); });
        p.form.txtS->setFocus();
        QCOMPARE(field->text(), cell[2]);
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
