// End to end: the real zerbo-board process plays the board on the port it
// publishes. The program's code runs in this process on that port, so the
// test can click its window; the real zerbo binary also runs on its own.
#include "app/option_button.h"
#include "program.h"
#include "table/charset.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>

namespace {
// A generous bound that only turns a hang into a failure; nothing is timed.
constexpr int BoundMs = 10000;

// The board as a process, in headless mode, publishing its port in a
// directory of its own so that a board the user runs is never touched.
struct Board {
    explicit Board(const char* sendTableAfter) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel); // to the test log
        process.start(QStringLiteral(ZERBO_BOARD_BINARY),
                      {"--headless", "--link", link(), "--send-table-after", sendTableAfter});
        said(QStringLiteral("port ") + link()); // else nothing comes later
    }
    ~Board() {
        process.terminate();
        process.waitForFinished(BoundMs);
    }
    QString link() const { return dir.filePath(QStringLiteral("board")); }

    // Reads the board's lines until enough() holds or the bound passes.
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
            if (enough())
                return true;
        } while (process.waitForReadyRead(int(deadline.remainingTime())));
        return false;
    }
    bool said(const QString& line) {
        return readUntil([&] { return lines.contains(line); });
    }
    // The codes received, taken once count have come.
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

    std::unique_ptr<Board> board;
    std::unique_ptr<Zerbo> zerbo;

private slots:
    // Key 1 is pressed before the program opens the port: the table waits on
    // the line, neither echoed back to the board nor translated (CR to LF).
    // The real program below takes a table that arrives while it waits.
    void initTestCase() {
        board = std::make_unique<Board>("0");
        QVERIFY(board->said(QStringLiteral("table sent")));
        zerbo = std::make_unique<Zerbo>(board->link());
        QTimer watchdog; // should the table not be there, ending the board ends the reception
        watchdog.setSingleShot(true);
        watchdog.callOnTimeout([this] { board->process.kill(); });
        watchdog.start(BoundMs);
        zerbo->Form_Load();
        QVERIFY2(watchdog.isActive(), "the table did not arrive");
    }

    void tableFillsAllSlotsAndEndsReady() {
        const FrmAscii& form = zerbo->form;
        QCOMPARE(numberedSlots(form), 256);
        for (int code = 1; code < 256; ++code)
            QCOMPARE(form.txtN[code]->text(), textFromByte(static_cast<unsigned char>(code)));
        QCOMPARE(form.txtO->text(), QStringLiteral("255"));
        QVERIFY(form.chkClosed->isChecked() && form.cmdSend->isEnabled()); // Ready after reception
        QVERIFY(!zerbo->comTest.PortOpen());
        QCOMPARE(board->received(0), QList<int>{}); // nothing came back to the board
    }

    void slotClicksReachTheBoard() {
        const QList<int> codes{0, 65, 65, 255};
        for (int code : codes)
            zerbo->form.optS[code]->click();
        QCOMPARE(board->received(codes.size()), codes);
    }

    void stringArrivesCompleteAndInOrder() {
        const QString text = QStringLiteral("Grüße, ZERBO! 0-255");
        zerbo->form.txtS->setText(text);
        zerbo->form.txtTime->setText(QStringLiteral("100"));
        zerbo->form.cmdSend->click(); // returns once the last character went out
        QList<int> codes;
        for (const QChar ch : text)
            codes << byteFromChar(ch);
        QCOMPARE(board->received(codes.size()), codes);
    }

    // The real program, started as a user starts it, on the board's port.
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
        // A failure would be reported on standard error.
        QVERIFY(!program.waitForFinished(1000));
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(!errors.contains("Run-time error"), errors.constData());
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
