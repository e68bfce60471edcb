// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board's window stays in sight (the screen there does not change) when ZERBO shows
// its background, opens its help or centres its window: ZERBO's classes beside the real board
// process, on a virtual X server with a window manager, at the size ZERBO_X_SCREEN names.
#include "app/zerbo.h"
#include "board_process.h"
#include "cannot_run.h"
#include "form/window_design.h"
#include "form/window_position.h"
#include "geometry_report.h"
#include "process_group.h"
#include "test_desktops.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {
constexpr int SettleMs = 5000; // a window manager on a loaded machine

QString screenName() {
    return qEnvironmentVariable("ZERBO_X_SCREEN", QStringLiteral("1920x1080"));
}

QImage onScreen(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

QWidget* shownWindow(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            return window;
    return nullptr;
}
} // namespace

enum class Step { Background, Help, Center };

class BoardInSightTest : public QObject {
    Q_OBJECT
public:
    explicit BoardInSightTest(const XDesktop& desktop) : desktop_(desktop) {}

private slots:
    void initTestCase() {
        if (!desktop_.failure().isEmpty())
            ZERBO_CANNOT_RUN(qPrintable(desktop_.failure()));
        board_.setEnvironment(QProcess::systemEnvironment() << "ZERBO_REPORT_GEOMETRY=1");
        board_.setReadChannel(QProcess::StandardError);
        endsWithTheTest(board_);
        board_.start(ZERBO_BOARD_BINARY, {"--link", dir_.filePath("board")});
        const GeometryReport report = readGeometry(board_, "board geometry:");
        QVERIFY2(!report.line.isEmpty(), qPrintable("the board said: " + report.said));
        // Its frame, as large as its client area: the title bar, Key 1 and the LEDs below it.
        boardArea_ = report.frame;
        QVERIFY(table_.started());
        zerbo_ = std::make_unique<Zerbo>(table_.link());
        QTimer::singleShot(500, this, [this] { table_.pressKeyOne(); });
        zerbo_->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(&zerbo_->form()));
        QTest::qWait(500);
        seen_ = onScreen(boardArea_);
        save(seen_, "start");
    }

    void staysInSight_data() {
        QTest::addColumn<QList<Step>>("steps");
        QTest::newRow("Show background") << QList<Step>{Step::Background};
        QTest::newRow("Help") << QList<Step>{Step::Help};
        QTest::newRow("Set form center") << QList<Step>{Step::Center};
        QTest::newRow("all three") << QList<Step>{Step::Background, Step::Help, Step::Center};
    }
    void staysInSight() {
        QFETCH(QList<Step>, steps);
        FrmAscii& form = zerbo_->form();
        for (Step step : steps) {
            const QRect before = form.frameGeometry();
            const char* window = step == Step::Help ? "frmHelp" : "frmBack";
            (step == Step::Center ? form.cmdCenter()
             : step == Step::Help ? static_cast<QAbstractButton*>(form.optHelp())
                                  : form.cmdBackShowHide())
                ->click();
            if (step == Step::Center) {
                QVERIFY(QTest::qWaitFor([&] { return form.frameGeometry() != before; }, SettleMs));
                continue;
            }
            QVERIFY(QTest::qWaitFor([&] { return shownWindow(window); }, SettleMs));
            QVERIFY(QTest::qWaitForWindowExposed(shownWindow(window)));
        }
        QImage now;
        const bool same = QTest::qWaitFor(
            [&] {
                QTest::qWait(200);
                now = onScreen(boardArea_);
                return now == seen_;
            },
            SettleMs);
        save(QGuiApplication::primaryScreen()->grabWindow(0).toImage(), QTest::currentDataTag());
        if (!same)
            QFAIL(qPrintable(QStringLiteral("the board is covered: %1 shows it, %2 the screen")
                                 .arg(save(seen_, "board"), save(now, "covered"))));
    }

    void cleanup() {
        if (!zerbo_)
            return;
        if (shownWindow("frmBack"))
            zerbo_->form().cmdBackShowHide()->click();
        if (shownWindow("frmHelp"))
            zerbo_->form().optHelp()->click();
        placeWindow(zerbo_->form(), WindowDesign::StartTwips);
        QTest::qWait(300);
    }

private:
    // Into ZERBO_TEST_SCREENSHOTS where set, for a look at them; else the temporary folder.
    QString save(const QImage& image, const QString& what) {
        const QString folder = qEnvironmentVariable("ZERBO_TEST_SCREENSHOTS", QDir::tempPath());
        const QString path = QStringLiteral("%1/board-in-sight-%2-%3.png")
                                 .arg(folder, screenName(), QString(what).replace(' ', '-'));
        image.save(path);
        return path;
    }

    const XDesktop& desktop_;
    QTemporaryDir dir_;
    QProcess board_;
    const ProcessGroup end_{&board_};
    QRect boardArea_;
    QImage seen_;
    BoardProcess table_;
    std::unique_ptr<Zerbo> zerbo_;
};

int main(int argc, char* argv[]) {
    const XDesktop desktop(
        {screenName().section('x', 0, 0).toInt(), screenName().section('x', 1).toInt()});
    // Without it the application stays offscreen, and the test fails saying why.
    if (desktop.failure().isEmpty()) {
        qputenv("DISPLAY", desktop.display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    BoardInSightTest test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_board_in_sight.moc"
