// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board's window opens beside ZERBO's, never under it, wherever both fit; on a smaller
// screen it stays above it: on the real programs, each reporting its window, and on the placement
// alone. On Wayland both take X11 through XWayland to place them, and say so where they cannot.
#include "board_placement.h"
#include "board_process.h"
#include "cannot_run.h"
#include "geometry_report.h"
#include "process_group.h"
#include "test_desktops.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
QString shown(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// A headless board with the table for ZERBO; ZERBO and the board's window in env, reporting where.
struct BothWindows {
    explicit BothWindows(QProcessEnvironment env) {
        env.insert("ZERBO_REPORT_GEOMETRY", "1");
        for (QProcess* program : {&zerbo, &board}) {
            program->setProcessEnvironment(env);
            program->setReadChannel(QProcess::StandardError);
        }
        zerbo.start(ZERBO_BINARY, {"--port", table.link()});
        board.start(ZERBO_BOARD_BINARY, {"--link", dir.filePath("board")});
    }
    BoardProcess table;
    QTemporaryDir dir;
    QProcess zerbo, board;
    ProcessGroup end{&zerbo, &board};
};
} // namespace

// Beside ZERBO's window, below it, in the screen's corner clear of it or over it.
enum class Where { Right, Below, Corner, Over };

class BoardPlacementTest : public QObject {
    Q_OBJECT
private slots:
    // Each program reporting where its window stands, on offscreen screens and on Weston's
    // headless desktop: with XWayland and no platform chosen both place their windows on X11;
    // without it, or with Wayland chosen, they say the desktop does.
    void besideTheRealWindow_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("onWeston");
        QTest::addColumn<bool>("xwayland");
        QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM as the user set it
        QTest::addColumn<bool>("placed");
        for (const QString screen : {"1920x1200", "1920x1032", "1366x768", "1280x720", "1080x1920"})
            QTest::newRow(qPrintable(screen))
                << QSize(screen.section('x', 0, 0).toInt(), screen.section('x', 1).toInt()) << false
                << false
                << QStringLiteral("offscreen:configfile=" ZERBO_SCREENS_DIR "/%1.json").arg(screen)
                << true;
        const QSize weston(1920, 1080);
        QTest::newRow("Weston, XWayland there") << weston << true << true << QString() << true;
        QTest::newRow("Weston, no XWayland") << weston << true << false << QString() << false;
        QTest::newRow("Weston, Wayland chosen") << weston << true << true << "wayland" << false;
    }
    void besideTheRealWindow() {
        QFETCH(QSize, screen);
        QFETCH(bool, onWeston);
        QFETCH(bool, xwayland);
        QFETCH(QString, platform);
        QFETCH(bool, placed);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (onWeston) {
            if (!weston)
                weston = std::make_unique<WestonDesktop>(screen);
            if (!weston->failure().isEmpty())
                ZERBO_CANNOT_RUN(qPrintable(weston->failure()));
            env = weston->environment(xwayland);
        }
        if (!platform.isEmpty())
            env.insert("QT_QPA_PLATFORM", platform);
        BothWindows both(env);
        QVERIFY(both.table.started());
        const GeometryReport zerbo = readGeometry(both.zerbo, "geometry: waiting");
        const GeometryReport board = readGeometry(both.board, "board geometry:");
        const QString said = "board " + shown(board.frame) + ", ZERBO " + shown(zerbo.frame) +
                             "\n" + zerbo.said + board.said;
        QVERIFY2(!zerbo.frame.isEmpty() && !board.frame.isEmpty(), qPrintable(said));
        QCOMPARE(zerbo.said.contains("zerbo: the desktop places the windows"), !placed);
        QCOMPARE(board.said.contains("zerbo-board: the desktop places the window"), !placed);
        const QRect whole(QPoint(0, 0), screen);
        QVERIFY2(!placed || (whole.contains(zerbo.frame) && whole.contains(board.frame) &&
                             !board.frame.intersects(zerbo.frame)),
                 qPrintable(said));
    }

    // Side by side from 1280x720 up, the board's top at ZERBO's, 8 pixels apart at the least;
    // below on a tall screen; else in the screen's bottom right corner, over ZERBO on a smaller
    // screen, whole on it (and on top, as always: tst_board_in_sight). The board's frame is
    // 476x468.
    void placement_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<Where>("where");
        QTest::addColumn<QPoint>("at"); // the board's top left
        // As designed, ZERBO's frame is 67,67 1123x1133: its right edge at 1190.
        QTest::newRow("1920x1200") << QSize(1920, 1200) << Where::Right << QPoint(1444, 67);
        QTest::newRow("1674x1200, 8 apart")
            << QSize(1674, 1200) << Where::Right << QPoint(1198, 67);
        QTest::newRow("1673x1200, 7 apart")
            << QSize(1673, 1200) << Where::Corner << QPoint(1197, 732);
        QTest::newRow("1920x1080") << QSize(1920, 1080) << Where::Right << QPoint(1444, 0);
        QTest::newRow("1366x768") << QSize(1366, 768) << Where::Right << QPoint(890, 0);
        QTest::newRow("1280x720") << QSize(1280, 720) << Where::Right << QPoint(804, 0);
        QTest::newRow("1080x1920") << QSize(1080, 1920) << Where::Below << QPoint(0, 1452);
        QTest::newRow("1024x600") << QSize(1024, 600) << Where::Over << QPoint(548, 132);
        QTest::newRow("800x480") << QSize(800, 480) << Where::Over << QPoint(324, 12);
    }
    void placement() {
        QFETCH(QSize, screen);
        QFETCH(Where, where);
        QFETCH(QPoint, at);
        const QRect available(QPoint(0, 0), screen);
        const QSize frame(476, 468);
        const QRect zerbo = zerboFrame(available);
        const QRect board(boardPlace(frame, available, zerbo), frame);
        QCOMPARE(board.topLeft(), at);
        QVERIFY(available.contains(board));
        QCOMPARE(board.intersects(zerbo), where == Where::Over);
        QVERIFY(where != Where::Right ||
                (board.left() > zerbo.right() && board.right() == available.right()));
        QVERIFY(where != Where::Below || board.top() > zerbo.bottom());
    }

private:
    std::unique_ptr<WestonDesktop> weston;
};

QTEST_GUILESS_MAIN(BoardPlacementTest)
#include "tst_board_placement.moc"
