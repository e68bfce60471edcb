#include "view/background_control.h"
#include "view/background_window.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {
// The test binary runs itself again with this variable naming a scenario that
// ends in a double click, so the program's end can be watched from outside.
const char childVariable[] = "ZERBO_BACKDROP_CHILD";

void say(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int runChild(const QByteArray& scenario) {
    QWidget mainWindow;
    mainWindow.show();
    BackgroundWindow backdrop(&mainWindow);
    backdrop.showFullScreen();
    if (scenario == "window") {
        // Before the first activation the picture does not cover the corner.
        say("ready");
        QTest::mouseDClick(&backdrop, Qt::LeftButton, {},
                           QPoint(backdrop.width() - 2, backdrop.height() - 2));
    } else if (scenario == "picture") {
        backdrop.Form_Activate();
        say("ready");
        QTest::mouseDClick(backdrop.picture(), Qt::LeftButton);
    } else if (scenario == "busy") {
        // The main window is busy in a loop that yields to the event queue.
        backdrop.Form_Activate();
        QTimer::singleShot(0, &backdrop, [&backdrop] {
            QTest::mouseDClick(backdrop.picture(), Qt::LeftButton);
            say("after double click");
        });
        say("ready");
        for (int step = 0; step < 50; ++step) {
            QCoreApplication::processEvents();
            say("step");
        }
        say("busy loop finished");
    }
    say("after double click");
    return 3;
}
} // namespace

class BackgroundWindowTest : public QObject {
    Q_OBJECT
private slots:
    void buttonTogglesTheBackdrop();
    void firstActivationFitsThePictureOnce();
    void pictureIsLightAtTopDarkBelowAndAtTheBorder();
    void doubleClickEndsTheProgram();
    void doubleClickEndsTheProgram_data();
};

void BackgroundWindowTest::buttonTogglesTheBackdrop() {
    QWidget mainWindow;
    auto* button = new QPushButton(QStringLiteral("Show background"), &mainWindow);
    qint16 shown = 0;
    BackgroundControl control(button, &mainWindow, shown);
    connect(button, &QPushButton::clicked, &control, &BackgroundControl::cmdBackShowHide_Click);

    button->click();
    BackgroundWindow* backdrop = control.window();
    QVERIFY(backdrop);
    QCOMPARE(shown, qint16(1));
    QCOMPARE(button->text(), QStringLiteral("Hide background"));
    QVERIFY(backdrop->isVisible());
    QVERIFY(mainWindow.isVisible());
    QCOMPARE(backdrop->objectName(), QStringLiteral("frmBack"));
    QVERIFY(backdrop->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(backdrop->geometry(), backdrop->screen()->geometry());
    const QList<QWidget*> children = backdrop->findChildren<QWidget*>();
    QCOMPARE(children.size(), 1);
    QCOMPARE(children.first()->objectName(), QStringLiteral("imgBild1"));
    QVERIFY(!backdrop->windowIcon().isNull());

    button->click();
    QCOMPARE(shown, qint16(0));
    QCOMPARE(button->text(), QStringLiteral("Show background"));
    QVERIFY(!backdrop->isVisible());
    QVERIFY(mainWindow.isVisible());

    button->click();
    QCOMPARE(control.window(), backdrop);
    QVERIFY(backdrop->isVisible());
    QCOMPARE(button->text(), QStringLiteral("Hide background"));
}

void BackgroundWindowTest::firstActivationFitsThePictureOnce() {
    QWidget mainWindow;
    BackgroundWindow backdrop(&mainWindow);
    backdrop.showFullScreen();
    QVERIFY(!backdrop.pictureFitted());
    QVERIFY(backdrop.picture()->geometry() != backdrop.rect());

    backdrop.activateWindow();
    QTRY_VERIFY(backdrop.pictureFitted());
    QCOMPARE(backdrop.picture()->geometry(), backdrop.rect());
    QVERIFY(mainWindow.isVisible());

    const QRect fitted = backdrop.picture()->geometry();
    backdrop.showNormal();
    backdrop.setGeometry(10, 10, 300, 200);
    backdrop.Form_Activate();
    QCOMPARE(backdrop.picture()->geometry(), fitted);
}

void BackgroundWindowTest::pictureIsLightAtTopDarkBelowAndAtTheBorder() {
    const QSize size(800, 600);
    const QImage picture = BackgroundWindow::backdropImage(size);
    QCOMPARE(picture.size(), size);
    const auto grey = [&picture](int x, int y) { return qGray(picture.pixel(x, y)); };
    QVERIFY(grey(400, 60) > 200);
    QVERIFY(grey(400, 300) > 80 && grey(400, 300) < 170);
    QVERIFY(grey(400, 560) < 40);
    for (const QPoint edge : {QPoint(0, 300), QPoint(799, 300), QPoint(400, 0), QPoint(0, 0)})
        QVERIFY(grey(edge.x(), edge.y()) < 10);
    // Soft, not a hard frame: the border darkens step by step.
    QVERIFY(grey(10, 100) > grey(5, 100) && grey(5, 100) > grey(1, 100));
    for (int x = 0; x < 800; ++x)
        QCOMPARE(qRed(picture.pixel(x, 100)), qBlue(picture.pixel(x, 100)));

    QWidget mainWindow;
    BackgroundWindow backdrop(&mainWindow);
    QCOMPARE(backdrop.picture()->pixmap().size(), backdrop.screen()->geometry().size());
}

void BackgroundWindowTest::doubleClickEndsTheProgram_data() {
    QTest::addColumn<QByteArray>("scenario");
    QTest::newRow("on the window") << QByteArray("window");
    QTest::newRow("on the picture") << QByteArray("picture");
    QTest::newRow("while busy") << QByteArray("busy");
}

void BackgroundWindowTest::doubleClickEndsTheProgram() {
    QFETCH(QByteArray, scenario);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childVariable), QString::fromLatin1(scenario));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(output.startsWith("ready\n"), output.constData());
    QVERIFY2(!output.contains("after double click"), output.constData());
    QVERIFY2(!output.contains("busy loop finished"), output.constData());
    // The first yield of the busy loop already delivers the double click.
    QVERIFY2(output.count("step") == 0, output.constData());
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QByteArray scenario = qgetenv(childVariable);
    if (!scenario.isEmpty())
        return runChild(scenario);
    BackgroundWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_background_window.moc"
