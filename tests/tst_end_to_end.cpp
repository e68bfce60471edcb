// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the real zerbo-board process plays the board on the port it publishes.
#include "base/charset.h"
#include "board_process.h"
#include "form/option_button.h"
#include "process_group.h"
#include "process_probe.h"
#include "program.h"
#include "standard_error.h"

#include <QLineEdit>
#include <QTest>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr int BoundMs = 10000; // only turns a hang into a failure; nothing is timed

// The board's table sent the given milliseconds after it starts.
struct Board : BoardProcess {
    explicit Board(const char* sendTableAfter)
        : BoardProcess({"--send-table-after", sendTableAfter}) {}
    // Waits for count bytes the board received, and takes them.
    QList<int> received(qsizetype count) {
        readUntil([&] { return rx.size() >= count; });
        return codesOf(std::exchange(rx, {}));
    }
};

// Whether the device is marked for one opener only (TIOCEXCL); one not even opened to ask is.
bool openedExclusively(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 1;
    if (fd >= 0) {
        ::ioctl(fd, TIOCGEXCL, &exclusive);
        ::close(fd);
    }
    return exclusive != 0;
}
} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    // Sent before the port opens, the table waits; it is neither echoed nor translated.
    void tableFillsAllSlotsThenSlotClicksReachTheBoard() {
        Board board("0");
        QVERIFY(board.waitForLine(QStringLiteral("table sent"), BoundMs));
        Zerbo zerbo(board.link());
        loadKillingBoardAfter(zerbo, board.process(), BoundMs);
        const FrmAscii& form = zerbo.form();
        QCOMPARE(numberedSlots(form), 256);
        for (int code = 1; code < 256; ++code)
            QCOMPARE(form.slot(code).character->text(),
                     textFromByte(static_cast<unsigned char>(code)));
        QCOMPARE(board.received(0), QList<int>{}); // nothing came back to the board
        const QList<int> codes{0, 65, 65, 255};
        for (int code : codes)
            zerbo.form().slot(code).sendButton->click();
        QCOMPARE(board.received(codes.size()), codes);
    }

    // The real program, started as a user starts it, takes a table that comes while it waits.
    void realProgramTakesTheTable() {
        Board ownBoard("500");
        QProcess program;
        const ProcessGroup end{&program}; // it ends only by its own Exit
        program.start(QStringLiteral(ZERBO_BINARY), {"--port", ownBoard.link()});
        QVERIFY(program.waitForStarted(BoundMs));
        QVERIFY(ownBoard.waitForLine(QStringLiteral("table sent"), BoundMs));
        QVERIFY(!program.waitForFinished(1000)); // a failure ends it, reported on standard error
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(!errors.contains("Run-time error"), errors.constData());
    }

    // A program killed while it holds the port leaves it to the next one, as
    // the last close of a real port does; one that runs keeps it to itself.
    void killedProgramLeavesThePortFree() {
        Board board("600000");
        const QString device = board.devicePath();
        QProcess killed, next, third;
        const ProcessGroup end{&killed, &next, &third};
        for (QProcess* program : {&killed, &next, &third}) {
            program->setProgram(QStringLiteral(ZERBO_BINARY));
            program->setArguments({"--port", board.link()});
        }
        killed.start();
        QTRY_VERIFY_WITH_TIMEOUT(openedExclusively(device), BoundMs);
        QVERIFY(holdsDevice(killed.processId(), device));
        killed.kill();
        QVERIFY(killed.waitForFinished(BoundMs));
        QTRY_VERIFY_WITH_TIMEOUT(!openedExclusively(device), BoundMs);
        next.start();
        QTRY_VERIFY_WITH_TIMEOUT(holdsDevice(next.processId(), device), BoundMs);
        QTRY_VERIFY_WITH_TIMEOUT(openedExclusively(device), BoundMs);
        third.start();
        QVERIFY(reportedError(third).contains(QStringLiteral("Run-time error 8005")));
        QVERIFY(openedExclusively(device)); // a refused opener's close takes nothing away
        QVERIFY(next.state() == QProcess::Running);
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
