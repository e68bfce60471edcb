// The full-screen backdrop: its button, its picture, and the double click that ends the program.
#include "program.h"
#include "view/background_window.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <cstdio>

namespace {
// The test runs itself again with this argument, to watch from outside that a double
// click on the picture ends the program at once, even while a handler yields.
const char doubleClickWhileBusy[] = "--double-click-while-busy";

int runDoubleClickWhileBusy() {
    QWidget mainWindow;
    BackgroundWindow backdrop(&mainWindow);
    backdrop.showFullScreen();
    backdrop.Form_Activate();
    later(0, [&backdrop] {
        QTest::mouseDClick(backdrop.picture(), Qt::LeftButton);
        std::puts("still running");
    });
    std::puts("ready");
    QCoreApplication::processEvents();
    std::puts("still running");
    return 3;
}
} // namespace

class BackgroundWindowTest : public QObject {
    Q_OBJECT

private slots:
    void buttonTogglesTheBackdropAndItsCaption() {
        Program p;
        p.showReady();
        for (bool on : {true, false, true}) {
            p.form.cmdBackShowHide->click();
            QCOMPARE(p.form.cmdBackShowHide->text(), on ? "Hide background" : "Show background");
            QCOMPARE(p.zerbo.background.window()->isVisible(), on);
            QVERIFY(p.form.isVisible());
        }
    }

    void firstActivationFitsThePictureOnce() {
        QWidget mainWindow;
        BackgroundWindow backdrop(&mainWindow);
        backdrop.showFullScreen();
        QVERIFY(backdrop.picture()->geometry() != backdrop.rect());
        backdrop.activateWindow();
        QTRY_COMPARE(backdrop.picture()->geometry(), backdrop.rect());
        const QRect fitted = backdrop.rect();
        backdrop.showNormal();
        backdrop.setGeometry(10, 10, 300, 200);
        backdrop.Form_Activate();
        QCOMPARE(backdrop.picture()->geometry(), fitted);
    }

    void doubleClickEndsTheProgram() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {doubleClickWhileBusy});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAllStandardOutput(), QByteArray("ready\n"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (app.arguments().contains(doubleClickWhileBusy))
        return runDoubleClickWhileBusy();
    BackgroundWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_background_window.moc"
