// SPDX-License-Identifier: GPL-3.0-or-later
// No serial port at all: the window asks (the virtual board, another look,
// the end) instead of ending; the real board starts as the dialog starts it;
// and which device is COM1 is said on standard error and on the port
// indicators' tool tips.
#include "app/com1_device.h"
#include "app/virtual_board.h"
#include "app/zerbo.h"
#include "board_process.h"
#include "form/no_port_dialog.h"
#include "pty_pair.h"
#include "sample_ports.h"
#include "standard_error.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace SamplePorts;

namespace {

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// What stands at ttyS0; the virtual board's link: none, a running board's, one
// left by a board that ended, or one older than the running board's terminal.
enum class TtyS0 { Missing, Busy };
enum class BoardLink { None, Running, Left, Older };
} // namespace

Q_DECLARE_METATYPE(TtyS0)
Q_DECLARE_METATYPE(BoardLink)

class NoPortTest : public QObject {
    Q_OBJECT
private slots:
    // With no port at all, or a ttyS0 that refuses (here: busy), the window
    // asks instead of ending: the adapter found, the virtual board (offered
    // only when it is there), another look, or the end. A board the user
    // runs is taken without asking; a link left by one that ended is not.
    void noPortAsks_data() {
        QTest::addColumn<TtyS0>("ttyS0");
        QTest::addColumn<BoardLink>("link");
        QTest::addColumn<QString>("board");       // the board program, "" for none
        QTest::addColumn<QStringList>("answers"); // in turn
        QTest::addColumn<QStringList>("asked");   // each question: board, adapters, text
        QTest::addColumn<QString>("device");      // COM1, "" for the end
        QTest::addColumn<QString>("says");        // on standard error
        const auto row = [](const char* name, TtyS0 ttyS0, BoardLink link, const QString& board,
                            const QStringList& answers, const QStringList& asked,
                            const QString& device, const QString& says) {
            QTest::newRow(name) << ttyS0 << link << board << answers << asked << device << says;
        };
        using enum TtyS0;
        using enum BoardLink;
        const QString missing = "| Serial port /nonexistent/ttyS0 (COM1) was not found";
        row("the virtual board", Missing, None, "/opt/zerbo-board", {"board"}, {"1 " + missing},
            "/run/board", "zerbo: COM1 is /run/board (the virtual board, /opt/zerbo-board)\n");
        row("it does not start: asked again", Missing, None, "/opt/zerbo-board",
            {"board fails", "end"}, {"1 " + missing, "1 " + missing}, "", "");
        row("an adapter plugged in, listed again", Missing, None, "", {"plug in", "again"},
            {"0 " + missing}, Ftdi.device, "using the USB serial");
        row("still nothing, listed again, then the end", Missing, None, "", {"again", "end"},
            {"0 " + missing, "0 " + missing}, "", "");
        const QString busy = "| Serial port %1 (COM1) is in use by another program: PID 1 (";
        row("ttyS0 busy: its error, then the adapter plugged in", Busy, None, "",
            {"plug in", "again", "adapter"}, {"0 " + busy, "0 /dev/ttyUSB0" + busy}, Ftdi.device,
            "zerbo: COM1 is /dev/ttyUSB0 (picked from the USB serial adapters)\n");
        row("a board runs: taken", Busy, Running, "/opt/zerbo-board", {}, {}, "%link",
            "zerbo: %1: Device or resource busy; using the virtual board that runs at %link");
        row("a link left by a board that ended: asked", Missing, Left, "", {"end"},
            {"0 " + missing}, "", "");
        row("its number since taken by another board: asked", Missing, Older, "", {"end"},
            {"0 " + missing}, "", "");
    }
    void noPortAsks() {
        QFETCH(TtyS0, ttyS0);
        QFETCH(BoardLink, link);
        QFETCH(QString, board);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, asked);
        QFETCH(QString, device);
        QFETCH(QString, says);
        PtyPair busyPort;
        const QString lockFile = "/tmp/LCK.." + busyPort.slavePath().mid(5).replace('/', '_');
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFile); });
        QList<PortDescription> present{NoUart};
        QStringList questions;
        Com1Search search{ttyS0 == TtyS0::Busy ? busyPort.slavePath() : "/nonexistent/ttyS0",
                          [&present] { return present; }};
        if (ttyS0 == TtyS0::Busy) // held by a process that runs, through its lock file
            QVERIFY(writeFile(lockFile, "         1\n"));
        std::unique_ptr<BoardProcess> running;
        if (link == BoardLink::Running || link == BoardLink::Older)
            running = std::make_unique<BoardProcess>();
        QTemporaryDir left;
        search.boardLink =
            link == BoardLink::Running ? running->link() : left.filePath("zerbo-board");
        if (link == BoardLink::Left) // its terminal's number since given to another's: this one
            QVERIFY(QFile::link(busyPort.slavePath(), search.boardLink));
        if (link == BoardLink::Older) { // made an hour before the running board's terminal
            QVERIFY(QFile::link(running->devicePath(), search.boardLink));
            const timespec anHourAgo{::time(nullptr) - 3600, 0}, times[2]{anHourAgo, anHourAgo};
            QVERIFY(::utimensat(AT_FDCWD, qPrintable(search.boardLink), times,
                                AT_SYMLINK_NOFOLLOW) == 0);
        }
        search.askNoPort = [&](const QString& why, bool withBoard, const QStringList& adapters) {
            questions << QStringLiteral("%1 %2| %3").arg(withBoard).arg(adapters.join(' '), why);
            QString answer = answers.takeFirst();
            if (answer == "plug in") {
                present << Ftdi;
                answer = answers.takeFirst();
            }
            return answer.startsWith("board") ? NoPortAnswer::VirtualBoard
                   : answer == "again"        ? NoPortAnswer::ListAgain
                   : answer == "adapter"      ? NoPortAnswer::UseAdapter
                                              : NoPortAnswer::End;
        };
        search.boardProgram = [board] { return board; };
        const bool boardFails = answers.contains("board fails");
        search.startBoard = [&](const QString& program) -> std::optional<QString> {
            if (program != board || boardFails)
                return std::nullopt;
            return QString("/run/board");
        };
        std::optional<Com1> found;
        const QString said =
            standardErrorOf([&] { found = findCom1Device({}, WhenNotFound::Ask, search); });
        device.replace("%link", search.boardLink);
        says.replace("%link", search.boardLink).replace("%1", busyPort.slavePath());
        QCOMPARE(found.value_or(Com1()).device, device);
        QVERIFY2(says.isEmpty() ? said.isEmpty() : said.contains(says), qPrintable(said));
        QVERIFY(answers.isEmpty());
        QCOMPARE(questions.size(), asked.size());
        for (int at = 0; at < asked.size(); ++at)
            QVERIFY2(questions[at].startsWith(asked[at].replace("%1", busyPort.slavePath())),
                     qPrintable(questions[at]));
    }

    // Without a window nothing is asked: none at all is 8002, which names the
    // board too; a ttyS0 that refuses is taken, for its open to say why.
    void withoutAWindowNothingIsAsked() {
        bool refused = false;
        try {
            findCom1Device({}, WhenNotFound::Report,
                           {"/nonexistent/ttyS0", [] { return QList{NoUart}; }});
        } catch (const RuntimeError& error) {
            refused = error.number() == 8002 &&
                      error.description().contains("Without hardware, zerbo-board plays the "
                                                   "board: start it, then zerbo --port on the "
                                                   "path it prints.");
        }
        QVERIFY(refused);
        PtyPair busyPort;
        const QString lockFile = "/tmp/LCK.." + busyPort.slavePath().mid(5).replace('/', '_');
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockFile); });
        QVERIFY(writeFile(lockFile, "         1\n"));
        std::optional<Com1> found;
        const QString said = standardErrorOf([&] {
            found = findCom1Device({}, WhenNotFound::Report,
                                   {busyPort.slavePath(), [] { return QList{NoUart}; }});
        });
        QCOMPARE(found.value_or(Com1()).device, busyPort.slavePath());
        QCOMPARE(said, QStringLiteral("zerbo: COM1 is %1 (device or resource busy, and no USB "
                                      "serial adapter)\n")
                           .arg(busyPort.slavePath()));
    }

    // The dialog itself: its buttons and what each answers.
    void noPortDialogAnswers() {
        NoPortDialog without("nothing found", false);
        QVERIFY(!without.virtualBoard());
        QVERIFY(!without.useAdapter());
        QCOMPARE(NoPortDialog("busy", false, {Ftdi.device, "/dev/ttyACM0"}).useAdapter()->text(),
                 "Pick a USB serial adapter");
        QCOMPARE(without.listAgain()->text(), "List again");
        QCOMPARE(without.end()->text(), "End");
        QCOMPARE(without.text()->text(), "nothing found");
        for (const auto& [button, answer] :
             {std::pair{&NoPortDialog::useAdapter, NoPortDialog::Answer::UseAdapter},
              std::pair{&NoPortDialog::virtualBoard, NoPortDialog::Answer::VirtualBoard},
              std::pair{&NoPortDialog::listAgain, NoPortDialog::Answer::ListAgain},
              std::pair{&NoPortDialog::end, NoPortDialog::Answer::End}}) {
            NoPortDialog dialog("nothing found", true, {Ftdi.device});
            QCOMPARE(dialog.useAdapter()->text(), "Use /dev/ttyUSB0");
            QCOMPARE(dialog.virtualBoard()->text(), "Start the virtual board");
            QPushButton* pressed = (dialog.*button)();
            QTimer::singleShot(0, pressed, [pressed] { pressed->click(); });
            QCOMPARE(dialog.ask(), answer);
        }
        NoPortDialog escaped("nothing found", true);
        QTimer::singleShot(0, &escaped, [&escaped] { QTest::keyClick(&escaped, Qt::Key_Escape); });
        QCOMPARE(escaped.ask(), NoPortDialog::Answer::End);
    }

    // The real board, started as the dialog does: its port is a serial line
    // that opens, and it goes, link and all, when asked to end.
    void virtualBoardStarts() {
        const std::optional<QString> port = startVirtualBoard(ZERBO_BOARD_BINARY);
        QVERIFY(port.has_value());
        QVERIFY2(port->contains(QString::number(::getpid())), qPrintable(*port));
        QCOMPARE(openError(*port), 0);
        auto* board = qApp->findChild<QProcess*>();
        QVERIFY(board);
        board->terminate();
        QVERIFY(board->waitForFinished(5000));
        QVERIFY(!QFileInfo(*port).isSymLink());
        QCOMPARE(startVirtualBoard("/nonexistent/zerbo-board"), std::nullopt);
        delete board;
    }

    // Which device the port indicators stand for, on their tool tips.
    void indicatorsNameTheDevice() {
        Zerbo zerbo("/dev/ttyUSB3");
        QCOMPARE(zerbo.form().chkOpen()->toolTip(), "COM1 is /dev/ttyUSB3");
        QCOMPARE(zerbo.form().chkClosed()->toolTip(), "COM1 is /dev/ttyUSB3");
    }
};

QTEST_MAIN(NoPortTest)
#include "tst_no_port.moc"
