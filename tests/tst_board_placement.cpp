// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board's window opens beside ZERBO's main window, never under
// it, wherever both fit; on a smaller screen it stays above it. Checked on
// the real programs, each reporting where its window stands on the screen
// the test gives them, and on the placement alone for every size.
#include "board_placement.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Screens = QStringLiteral(ZERBO_SCREENS_DIR);

// "frame X Y W H" from the line of standard error that starts with prefix.
QRect reportedFrame(QProcess& program, const QString& prefix) {
    program.setReadChannel(QProcess::StandardError);
    const QRegularExpression line("^" + prefix + ".*frame (-?\\d+) (-?\\d+) (\\d+) (\\d+)",
                                  QRegularExpression::MultilineOption);
    QString said;
    for (;;) {
        const auto match = line.match(said);
        if (match.hasMatch() && said.endsWith('\n'))
            return {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                    match.captured(4).toInt()};
        if (!program.waitForReadyRead(20000))
            return {};
        said += QString::fromLocal8Bit(program.readAllStandardError());
    }
}

QProcessEnvironment onScreen(const QString& screen) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + Screens + "/" + screen + ".json");
    env.insert("ZERBO_REPORT_GEOMETRY", "1");
    return env;
}
} // namespace

class BoardPlacementTest : public QObject {
    Q_OBJECT
private slots:
    void besideTheRealWindow_data() {
        QTest::addColumn<QString>("screen");
        for (const char* screen : {"1920x1200", "1920x1032", "1366x768", "1280x720", "1080x1920"})
            QTest::newRow(screen) << screen;
    }
    void besideTheRealWindow() {
        QFETCH(QString, screen);
        QTemporaryDir dir;
        QProcess table, zerbo, board;
        const auto end = qScopeGuard([&] {
            for (QProcess* program : {&zerbo, &table, &board}) {
                program->kill();
                program->waitForFinished();
            }
        });
        table.start(ZERBO_BOARD_BINARY,
                    {"--headless", "--send-table-after", "500", "--link", dir.filePath("table")});
        QVERIFY(table.waitForReadyRead(10000));
        zerbo.setProcessEnvironment(onScreen(screen));
        zerbo.start(ZERBO_BINARY, {"--port", dir.filePath("table")});
        board.setProcessEnvironment(onScreen(screen));
        board.start(ZERBO_BOARD_BINARY, {"--link", dir.filePath("board")});
        const QRect boardFrame = reportedFrame(board, "board geometry:");
        const QRect zerboFrame = reportedFrame(zerbo, "geometry:");
        QVERIFY(!boardFrame.isEmpty() && !zerboFrame.isEmpty());
        QVERIFY2(!boardFrame.intersects(zerboFrame),
                 qPrintable(QStringLiteral("board %1,%2 %3x%4, ZERBO %5,%6 %7x%8")
                                .arg(boardFrame.x())
                                .arg(boardFrame.y())
                                .arg(boardFrame.width())
                                .arg(boardFrame.height())
                                .arg(zerboFrame.x())
                                .arg(zerboFrame.y())
                                .arg(zerboFrame.width())
                                .arg(zerboFrame.height())));
        const QSize size(screen.section('x', 0, 0).toInt(), screen.section('x', 1).toInt());
        QVERIFY2(QRect(QPoint(0, 0), size).contains(boardFrame),
                 qPrintable(QStringLiteral("board %1,%2 %3x%4")
                                .arg(boardFrame.x())
                                .arg(boardFrame.y())
                                .arg(boardFrame.width())
                                .arg(boardFrame.height())));
    }

    // Both fit side by side from 1280x720 up; below on a tall screen; on a
    // smaller one the board stays on top, whole on the screen.
    void placement_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("keepOnTop");
        QTest::addColumn<QString>("where");
        QTest::newRow("1920x1080") << QSize(1920, 1080) << false << "right";
        QTest::newRow("1366x768") << QSize(1366, 768) << false << "right";
        QTest::newRow("1280x720") << QSize(1280, 720) << false << "right";
        QTest::newRow("1080x1920") << QSize(1080, 1920) << false << "below";
        QTest::newRow("1024x600") << QSize(1024, 600) << true << "";
        QTest::newRow("800x480") << QSize(800, 480) << true << "";
    }
    void placement() {
        QFETCH(QSize, screen);
        QFETCH(bool, keepOnTop);
        QFETCH(QString, where);
        const QRect available(QPoint(0, 0), screen);
        const QSize frame(476, 468);
        const QRect zerbo = zerboFrame(available);
        const BoardPlace place = boardPlace(frame, available, zerbo);
        const QRect board(place.topLeft, frame);
        QCOMPARE(place.keepOnTop, keepOnTop);
        QVERIFY(available.contains(board));
        QCOMPARE(board.intersects(zerbo), keepOnTop);
        if (where == "right")
            QVERIFY(board.left() > zerbo.right() && board.right() == available.right());
        else if (where == "below")
            QVERIFY(board.top() > zerbo.bottom());
    }
};

QTEST_GUILESS_MAIN(BoardPlacementTest)
#include "tst_board_placement.moc"
