// SPDX-License-Identifier: GPL-3.0-or-later
// The help window behind the Help option button: its text, its place, the clicks.
#include "form/help_window.h"
#include "program.h"

#include <QCryptographicHash>
#include <QTest>

const QPoint helpPlace(67, 133); // 1000 x 2000 twips at 15 twips per pixel

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void exactTextOpensAgainAtItsPlacePrintedAnew() {
        ReadyProgram p;
        p.form.optHelp()->click();
        HelpWindow* help = p.zerbo.help().window();
        QCOMPARE(help->pos(), helpPlace);
        QCOMPARE(help->objectName(), "frmHelp");
        QCOMPARE(help->printedLines(), HelpWindow::helpLines());
        const QByteArray whole = HelpWindow::helpLines().join('\n').toUtf8();
        QCOMPARE(QCryptographicHash::hash(whole, QCryptographicHash::Sha256).toHex(),
                 QByteArray("8644c616f3acb09693a3689d03475d8271efaffce099587e6c710b9771ebe3f4"));
        const QImage page = help->grab().toImage();
        QVERIFY(page != HelpWindow().grab().toImage()); // the text is on the page
        help->move(400, 300);                           // the user drags it away
        for (bool shown : {false, true}) {
            QVERIFY(!p.form.optHelp()->isChecked()); // so the next click selects it again
            p.form.optHelp()->click();
            QCOMPARE(help->isVisible(), shown);
        }
        QVERIFY(!p.form.optHelp()->isChecked());
        QCOMPARE(p.zerbo.help().window(), help);
        QCOMPARE(help->pos(), helpPlace);
        QCOMPARE(help->printedLines().size(), 35);
        QCOMPARE(help->grab().toImage(), page);
        // Closed by its close box, the first click only forgets that help was shown.
        QVERIFY(help->close());
        p.form.optHelp()->click();
        QVERIFY(!help->isVisible() && !p.form.optHelp()->isChecked());
        p.form.optHelp()->click();
        QVERIFY(help->isVisible());
    }
};

QTEST_MAIN(HelpWindowTest)
#include "tst_help_window.moc"
