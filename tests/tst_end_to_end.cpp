// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the real zerbo-board process plays the board on the port it publishes.
#include "base/charset.h"
#include "form/option_button.h"
#include "program.h"

#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <utility>

namespace {
constexpr int BoundMs = 10000; // only turns a hang into a failure; nothing is timed

// Headless, its port in a directory of its own: a board the user runs is never touched.
struct Board {
    explicit Board(const char* sendTableAfter) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(ZERBO_BOARD_BINARY),
                      {"--headless", "--link", link(), "--send-table-after", sendTableAfter});
        said("port " + link()); // else nothing comes later
    }
    ~Board() {
        process.terminate();
        process.waitForFinished(BoundMs);
    }
    QString link() const { return dir.filePath(QStringLiteral("board")); }

    bool readUntil(const std::function<bool()>& enough) {
        QDeadlineTimer deadline(BoundMs);
        do {
            while (process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
                if (line.startsWith(QStringLiteral("rx ")))
                    rx << line.mid(3).toInt(); // a byte the board received
                else
                    lines << line;
            }
        } while (!enough() && process.waitForReadyRead(int(deadline.remainingTime())));
        return enough();
    }
    bool said(const QString& line) {
        return readUntil([&] { return lines.contains(line); });
    }
    QList<int> received(qsizetype count) {
        readUntil([&] { return rx.size() >= count; });
        return std::exchange(rx, {});
    }

    QTemporaryDir dir;
    QProcess process;
    QStringList lines;
    QList<int> rx;
};
} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    // Sent before the port opens, the table waits; it is neither echoed nor translated.
    void tableFillsAllSlotsThenSlotClicksReachTheBoard() {
        Board board("0");
        QVERIFY(board.said(QStringLiteral("table sent")));
        Zerbo zerbo(board.link());
        QTimer::singleShot(BoundMs, &board.process, &QProcess::kill); // ends a reception in vain
        zerbo.Form_Load();
        const FrmAscii& form = zerbo.form;
        QCOMPARE(numberedSlots(form), 256);
        for (int code = 1; code < 256; ++code)
            QCOMPARE(form.slot(code).character->text(),
                     textFromByte(static_cast<unsigned char>(code)));
        QCOMPARE(board.received(0), QList<int>{}); // nothing came back to the board
        const QList<int> codes{0, 65, 65, 255};
        for (int code : codes)
            zerbo.form.slot(code).sendButton->click();
        QCOMPARE(board.received(codes.size()), codes);
    }

    // The real program, started as a user starts it, takes a table that comes while it waits.
    void realProgramTakesTheTable() {
        Board ownBoard("500");
        QProcess program;
        const auto end = qScopeGuard([&program] { // it ends only by its own Exit
            program.kill();
            program.waitForFinished(BoundMs);
        });
        program.start(QStringLiteral(ZERBO_BINARY), {"--port", ownBoard.link()});
        QVERIFY(program.waitForStarted(BoundMs));
        QVERIFY(ownBoard.said(QStringLiteral("table sent")));
        QVERIFY(!program.waitForFinished(1000)); // a failure ends it, reported on standard error
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(!errors.contains("Run-time error"), errors.constData());
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
