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
#include <memory>

namespace {
// Generous bounds that only turn a hang into a failure; nothing is timed.
constexpr int StartMs = 10000;
constexpr int ArriveMs = 10000;

// The board as a process, in headless mode, publishing its port in a
// directory of its own so that a board the user runs is never touched.
class Board {
public:
    explicit Board(QStringList options) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel); // to the test log
        process_.start(QStringLiteral(ZERBO_BOARD_BINARY),
                       QStringList{"--headless", "--link", link()} + options);
        waitForLine(QStringLiteral("port ") + link(), StartMs); // else nothing comes later
    }
    ~Board() {
        process_.terminate();
        process_.waitForFinished(StartMs);
    }

    QString link() const { return dir_.filePath(QStringLiteral("board")); }
    QProcess& process() { return process_; }

    // Waits until count bytes have arrived (or the bound passes) and takes
    // their "rx CODE" lines.
    QList<int> receive(int count, int boundMs = ArriveMs) {
        QList<int> codes;
        QDeadlineTimer deadline(boundMs);
        do {
            readLines();
            for (const QString& line : std::as_const(lines_))
                if (line.startsWith(QStringLiteral("rx ")))
                    codes << line.mid(3).toInt();
            lines_.clear();
        } while (codes.size() < count && process_.waitForReadyRead(int(deadline.remainingTime())));
        return codes;
    }

    bool waitForLine(const QString& wanted, int boundMs) {
        QDeadlineTimer deadline(boundMs);
        do {
            readLines();
            if (lines_.removeOne(wanted))
                return true;
        } while (process_.waitForReadyRead(int(deadline.remainingTime())));
        return false;
    }

private:
    void readLines() {
        while (process_.canReadLine())
            lines_ << QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    QTemporaryDir dir_;
    QProcess process_;
    QStringList lines_;
};

// The program ends only by its own Exit; a test ends it by force.
auto endingAtScopeExit(QProcess& program) {
    return qScopeGuard([&program] {
        program.kill();
        program.waitForFinished(StartMs);
    });
}

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
        board = std::make_unique<Board>(QStringList{"--send-table-after", "0"});
        QVERIFY(board->waitForLine(QStringLiteral("table sent"), ArriveMs));
        zerbo = std::make_unique<Zerbo>(board->link());
        // Should the table not be there, ending the board ends the reception.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [this] { board->process().kill(); });
        watchdog.start(ArriveMs);
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
        QCOMPARE(board->receive(0, 0), QList<int>{}); // nothing came back to the board
    }

    void slotClicksReachTheBoard() {
        const QList<int> codes{0, 65, 65, 255};
        for (int code : codes)
            zerbo->form.optS[code]->click();
        QCOMPARE(board->receive(int(codes.size())), codes);
    }

    void stringArrivesCompleteAndInOrder() {
        const QString text = QStringLiteral("Grüße, ZERBO! 0-255");
        zerbo->form.txtS->setText(text);
        zerbo->form.txtTime->setText(QStringLiteral("100"));
        zerbo->form.cmdSend->click(); // returns once the last character went out
        QList<int> codes;
        for (const QChar ch : text)
            codes << byteFromChar(ch);
        QCOMPARE(board->receive(int(codes.size())), codes);
    }

    // The real program, started as a user starts it, on the board's port.
    void realProgramTakesTheTable() {
        Board ownBoard({"--send-table-after", "500"});
        QProcess program;
        const auto end = endingAtScopeExit(program);
        program.start(QStringLiteral(ZERBO_BINARY), {"--port", ownBoard.link()});
        QVERIFY(program.waitForStarted(StartMs));
        QVERIFY(ownBoard.waitForLine(QStringLiteral("table sent"), ArriveMs));
        // A failure would be reported on standard error (see the next case).
        QVERIFY(!program.waitForFinished(1000));
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(!errors.contains("Run-time error"), errors.constData());
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
