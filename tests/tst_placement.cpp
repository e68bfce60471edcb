// Window placement: centring, the typed position, and the position fields
// that clamp what is typed and follow the window.
//
// Positions are compared in twips after the window system has put the window
// on whole pixels (15 twips each): 2500 twips lands on pixel 167, which is
// 2505 twips. Windows are moved to positive places only, as the offscreen
// platform shifts a frame that starts above or left of the screen.
#include "app/form_style.h"
#include "program.h"
#include "view/placement.h"
#include "view/window_position.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {
void showActive(FrmAscii& form) {
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

// Focus to the field, type, then focus elsewhere: as a user with the Tab key.
void typeInto(FrmAscii& form, QLineEdit* field, const QString& text) {
    field->setFocus();
    QCoreApplication::processEvents();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    form.txtS->setFocus();
    QCoreApplication::processEvents();
}

// Where moving to the position in twips puts the window.
QPointF snapped(QPointF twips) {
    return QPointF(std::lround(twips.x() / TwipsPerPixel) * TwipsPerPixel,
                   std::lround(twips.y() / TwipsPerPixel) * TwipsPerPixel);
}
} // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void centredEdgeIsHalfTheRoomLeft() {
        // 1920 x 1200 pixels of screen, 16680 x 16320 twips of window.
        QCOMPARE(centredEdge(28800, 16680), 6060.0f);
        QCOMPARE(centredEdge(18000, 16320), 840.0f);
        QCOMPARE(centredEdge(15000, 16320), -660.0f); // taller than the screen
        QCOMPARE(centredEdge(1001, 0), 500.5f);       // positions need not be whole
    }

    void centreButtonCentresTheOuterFrame() {
        Program p;
        showActive(p.form);
        p.form.cmdCenter->click();
        QCoreApplication::processEvents();
        const QSizeF room =
            QSizeF(p.form.screen()->geometry().size() - p.form.frameGeometry().size()) *
            TwipsPerPixel;
        const QPointF centre = snapped(QPointF(room.width() / 2, room.height() / 2));
        // The offscreen screen is smaller than the window, and the platform
        // shifts a frame that starts off-screen by up to its own width.
        const QPoint frame = p.form.geometry().topLeft() - p.form.frameGeometry().topLeft();
        const QPointF off = windowPosition(p.form) - centre;
        QVERIFY2(std::abs(off.x()) <= frame.x() * TwipsPerPixel &&
                     std::abs(off.y()) <= frame.y() * TwipsPerPixel,
                 qPrintable(QString("off by %1, %2 twips").arg(off.x()).arg(off.y())));
    }

    // Without the position loop running, so the field shows what the clamping left.
    void clampingWhenTheFieldIsLeft_data() {
        QTest::addColumn<bool>("left");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("top -9000") << false << "-9000"
                                   << "-8000";
        QTest::newRow("top 20000") << false << "20000"
                                   << "3000";
        QTest::newRow("top 13000") << false << "13000"
                                   << "3000";
        QTest::newRow("top -8000 stays") << false << "-8000"
                                         << "-8000";
        QTest::newRow("top 5000") << false << "5000"
                                  << "3000";
        QTest::newRow("top 3000 stays") << false << "3000"
                                        << "3000";
        QTest::newRow("left -9000") << true << "-9000"
                                    << "-8000";
        QTest::newRow("left 20000") << true << "20000"
                                    << "13000";
        QTest::newRow("left 13000 stays") << true << "13000"
                                          << "13000";
        QTest::newRow("left abc") << true << "abc"
                                  << "abc";
        QTest::newRow("top empty") << false << ""
                                   << "";
        QTest::newRow("top sign alone") << false << "-"
                                        << "-";
        QTest::newRow("left number and letters") << true << "20000abc"
                                                 << "20000abc";
    }
    void clampingWhenTheFieldIsLeft() {
        QFETCH(bool, left);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Program p;
        showActive(p.form);
        QLineEdit* field = left ? p.form.txtLeft : p.form.txtTop;
        field->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(p.zerbo.state.PositionEditing, qint16(1));
        QTest::keyClicks(field, typed);
        p.form.txtS->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(field->text(), kept);
        QCOMPARE(p.zerbo.state.PositionEditing, qint16(0));
    }

    void eventsQueuedBeforeTheFocusMovedRunFirst() {
        Program p;
        showActive(p.form);
        p.form.txtTop->setFocus();
        QCoreApplication::processEvents();
        later(0, [&] { p.form.txtTop->setText("5000"); });
        p.form.txtS->setFocus(); // the queued change runs inside the lost-focus handling
        QCOMPARE(p.form.txtTop->text(), QString("3000"));
    }

    void leftFieldMovesTheWindowThroughThePositionLoop_data() {
        QTest::addColumn<QString>("typedLeft");
        QTest::addColumn<QString>("typedTop");
        QTest::addColumn<QPointF>("position");
        QTest::newRow("within bounds") << "3000"
                                       << "2000" << snapped(QPointF(3000, 2000));
        QTest::newRow("clamped") << "20000"
                                 << "5000" << snapped(QPointF(13000, 3000));
        QTest::newRow("letters keep the edge") << "abc"
                                               << "-" << snapped(QPointF(1000, 1000));
        QTest::newRow("empty keeps the edge") << ""
                                              << "1500" << snapped(QPointF(1000, 1500));
    }
    void leftFieldMovesTheWindowThroughThePositionLoop() {
        QFETCH(QString, typedLeft);
        QFETCH(QString, typedTop);
        QFETCH(QPointF, position);
        Program p;
        showActive(p.form);
        moveWindow(p.form, QPointF(1000, 1000));
        p.zerbo.positionLoop.start();

        typeInto(p.form, p.form.txtLeft, typedLeft);
        typeInto(p.form, p.form.txtTop, typedTop);

        QCOMPARE(windowPosition(p.form), position);
        // The fields show where the window stands once no field is edited.
        QCOMPARE(p.form.txtLeft->text(), QString::number(position.x()));
        QCOMPARE(p.form.txtTop->text(), QString::number(position.y()));
    }

    void setPositionReadsTheNumberAtTheStart_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPointF>("position");
        QTest::newRow("letters after, blanks inside") << "2500abc"
                                                      << " 1 500" << QPointF(2505, 1500);
        QTest::newRow("empty fields") << ""
                                      << "" << QPointF(0, 0);
        QTest::newRow("no bounds") << "20000"
                                   << "9000" << snapped(QPointF(20000, 9000));
    }
    void setPositionReadsTheNumberAtTheStart() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPointF, position);
        Program p;
        showActive(p.form);
        moveWindow(p.form, QPointF(1000, 1000));
        p.form.txtLeft->setText(left);
        p.form.txtTop->setText(top);
        p.form.cmdSetPos->click();
        QCoreApplication::processEvents();
        QCOMPARE(windowPosition(p.form), position);
    }

    void fieldsFollowTheWindowUnlessOneIsEdited() {
        Program p;
        showActive(p.form);
        p.zerbo.positionLoop.start();

        moveWindow(p.form, QPointF(3000, 2010));
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft->text(), QString("3000"));
        QCOMPARE(p.form.txtTop->text(), QString("2010"));

        p.form.txtLeft->setFocus();
        QCoreApplication::processEvents();
        p.form.txtLeft->selectAll();
        QTest::keyClicks(p.form.txtLeft, "450");
        moveWindow(p.form, QPointF(600, 750)); // moved while the user types
        QCoreApplication::processEvents();
        QCOMPARE(p.form.txtLeft->text(), QString("450"));
        QCOMPARE(p.form.txtTop->text(), QString("2010"));

        p.form.txtS->setFocus(); // the edit ends: the typed left applies
        QCoreApplication::processEvents();
        QCOMPARE(windowPosition(p.form), QPointF(450, 2010));
        QCOMPARE(p.form.txtLeft->text(), QString("450"));
        QCOMPARE(p.form.txtTop->text(), QString("2010"));
    }
};

QTEST_MAIN(PlacementTest)
#include "tst_placement.moc"
