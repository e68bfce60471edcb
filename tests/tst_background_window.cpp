// SPDX-License-Identifier: GPL-3.0-or-later
// The full-screen backdrop behind the window: its button and its picture. Its
// double click, which ends the program, is played in tst_faults.
#include "form/background_window.h"
#include "program.h"

#include <QLabel>
#include <QTest>

class BackgroundWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The button shows and hides the backdrop behind the window; the first
    // activation fits the picture to the backdrop, and later ones leave it.
    void buttonShowsTheBackdropFittedOnce() {
        Program p;
        for (bool on : {true, false, true}) {
            p.form.cmdBackShowHide()->click();
            QCOMPARE(p.form.cmdBackShowHide()->text(), on ? "Hide background" : "Show background");
            QVERIFY(p.zerbo.background().window()->isVisible() == on && p.form.isVisible());
        }
        BackgroundWindow& backdrop = *p.zerbo.background().window();
        QCOMPARE(backdrop.objectName(), "frmBack");
        backdrop.activateWindow();
        QTRY_COMPARE(backdrop.picture()->geometry(), backdrop.rect());
        const QRect fitted = backdrop.rect();
        backdrop.showNormal();
        backdrop.setGeometry(10, 10, 300, 200);
        backdrop.Form_Activate();
        QCOMPARE(backdrop.picture()->geometry(), fitted);
    }
};

QTEST_MAIN(BackgroundWindowTest)
#include "tst_background_window.moc"
