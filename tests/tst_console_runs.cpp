// SPDX-License-Identifier: GPL-3.0-or-later
// The programs outside a desktop session, and boards beside each other at one link.
#include "board_process.h"
#include "cannot_run.h"
#include "process_group.h"
#include "run_program.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <optional>
#include <unistd.h>

namespace {
const QString Zerbo = QStringLiteral(ZERBO_BINARY);
const QString Board = QStringLiteral(ZERBO_BOARD_BINARY);

// The programs as started over ssh: no window system named or reachable.
const QStringList NoDisplay{"-DISPLAY", "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM"};

// What stands at a board's link path already.
enum InTheWay { RunningBoard, PlainFile, UserLink, StaleLink };
} // namespace

class ConsoleRunsTest : public QObject {
    Q_OBJECT
private slots:
    // Over ssh: what needs no window works, the window is refused in one line.
    void withoutADisplay_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        // On standard output for 0, else standard error: the whole text, or phrases looked for
        // across lines (help is wrapped to the terminal's width).
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QStringList>("says");
        const auto phrases = [](const char* name, const QString& program,
                                const QStringList& arguments, int exitCode,
                                const QStringList& says) {
            QTest::newRow(name) << program << arguments << exitCode << false << says;
        };
        const auto whole = [](const char* name, const QString& program,
                              const QStringList& arguments, int exitCode, const QString& says) {
            QTest::newRow(name) << program << arguments << exitCode << true << QStringList{says};
        };
        const QString refused = "zerbo: no display: run it in a desktop session; zerbo "
                                "--loopback-test and --list-ports need none\n";
        whole("zerbo", Zerbo, {}, 1, refused);
        whole("zerbo --port", Zerbo, {"--port", "/dev/ttyS0"}, 1, refused);
        whole("zerbo --bogus", Zerbo, {"--bogus"}, 1, "zerbo: Unknown option 'bogus'.\n");
        whole("zerbo --version", Zerbo, {"--version"}, 0, "zerbo " ZERBO_VERSION "\n");
        phrases("zerbo --help", Zerbo, {"--help"}, 0,
                {"--list-ports", "Cable test: with pins 2 and 3 of the port's 9-pin socket bridged",
                 "Exit status 0 when all came back intact, 1 when not, 2 when the port cannot be "
                 "used."});
        whole("board", Board, {}, 1,
              "zerbo-board: no display: run it in a desktop session, or with --headless\n");
        whole("board --version", Board, {"--version"}, 0, "zerbo-board " ZERBO_VERSION "\n");
        phrases("board --help", Board, {"--help"}, 0, {"--headless"});
        phrases("board -h", Board, {"-h"}, 0, {"--link <PATH>"});
    }
    void withoutADisplay() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, whole);
        QFETCH(QStringList, says);
        const Run result = runProgram(program, arguments, {NoDisplay});
        QCOMPARE(result.exitCode, exitCode);
        const QString& text = exitCode == 0 ? result.out : result.err;
        for (const QString& said : says)
            QVERIFY2(whole ? text == said : text.simplified().contains(said),
                     qPrintable(result.out + result.err));
    }

    // Without XDG_RUNTIME_DIR the link goes to a path of this user's own under /tmp.
    void boardLinkWithoutRuntimeDirectory() {
        const QString expected = QStringLiteral("/tmp/zerbo-board-%1").arg(::getuid());
        if (QFileInfo(expected).isSymLink() || QFileInfo::exists(expected))
            ZERBO_CANNOT_RUN("a board of this user runs on the default link: end it first");
        QProcess board;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        board.setProcessEnvironment(env);
        board.start(Board, {"--headless"});
        QVERIFY(board.waitForReadyRead(10000));
        QCOMPARE(QString::fromLocal8Bit(board.readLine()).trimmed(), "port " + expected);
        QVERIFY(QFileInfo(expected).isSymLink());
        board.terminate();
        QVERIFY(board.waitForFinished(5000));
        QVERIFY(!QFileInfo(expected).isSymLink()); // its own link goes with it
    }

    // Only the link of a board that has ended is replaced; all else is left as it was.
    void boardLinkInTheWay_data() {
        QTest::addColumn<InTheWay>("there");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("a running board's link")
            << RunningBoard << 1 << "is already the port of a board that still runs";
        QTest::newRow("a plain file") << PlainFile << 1 << "exists and is not a board's port";
        QTest::newRow("a dangling link of the user's")
            << UserLink << 1 << "which is not a board's port";
        QTest::newRow("the link of a board that ended")
            << StaleLink << 0 << "replacing " /* then the board runs */;
    }
    void boardLinkInTheWay() {
        QFETCH(InTheWay, there);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QString link = dir.filePath("board");
        std::optional<BoardProcess> first;
        QString before;
        if (there == RunningBoard) {
            first.emplace();
            QVERIFY(first->started());
            link = first->link();
            before = QFile::symLinkTarget(link);
        } else if (there == PlainFile) {
            QFile file(link);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine\n");
        } else {
            before = there == UserLink ? dir.filePath("gone") : "/dev/pts/99999";
            QVERIFY(QFile::link(before, link));
        }
        QProcess second;
        const ProcessGroup end{&second};
        second.start(Board, {"--headless", "--link", link});
        if (exitCode == 0) {
            QVERIFY(second.waitForReadyRead(10000));
            QCOMPARE(QString::fromLocal8Bit(second.readLine()).trimmed(), "port " + link);
            QVERIFY(QFile::symLinkTarget(link).startsWith("/dev/pts/"));
            QVERIFY(QFile::symLinkTarget(link) != before);
            QString said;
            QTRY_VERIFY(
                (said += QString::fromLocal8Bit(second.readAllStandardError())).contains(says));
            return;
        }
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), exitCode);
        const QString said = QString::fromLocal8Bit(second.readAllStandardError());
        QVERIFY2(said.startsWith("zerbo-board: " + link) && said.contains(says) &&
                     said.count('\n') == 1,
                 qPrintable(said));
        QVERIFY(second.readAllStandardOutput().isEmpty()); // no "port" line for a script
        if (there == PlainFile) {
            QFile file(link);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("mine\n"));
        } else {
            QCOMPARE(QFile::symLinkTarget(link), before);
        }
        if (first) { // the first board still has its link, and takes it away at its end
            QVERIFY(first->process().state() == QProcess::Running);
            first->process().terminate();
            QVERIFY(first->process().waitForFinished(5000));
            QVERIFY(!QFileInfo(link).isSymLink());
        }
    }
};

QTEST_GUILESS_MAIN(ConsoleRunsTest)
#include "tst_console_runs.moc"
