// End to end: the real zerbo-board process plays the board on the port it
// publishes. The program's code runs in this process on that port, so the
// test can click its window; the real zerbo binary runs once on its own.
#include "app/option_button.h"
#include "app/zerbo.h"
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
        QStringList arguments{"--headless", "--link", link()};
        process_.start(QStringLiteral(ZERBO_BOARD_BINARY), arguments + options);
        if (!waitForLine(QStringLiteral("port ") + link(), StartMs))
            qWarning("zerbo-board did not publish its port: %s",
                     qPrintable(process_.readAllStandardError()));
    }
    ~Board() {
        process_.terminate();
        process_.waitForFinished(StartMs);
    }

    QString link() const { return dir_.filePath(QStringLiteral("board")); }
    QProcess& process() { return process_; }

    // The "rx CODE" lines of the bytes received since the last call.
    QList<int> takeReceived() {
        readLines();
        QList<int> codes;
        for (const QString& line : std::as_const(lines_))
            if (line.startsWith(QStringLiteral("rx ")))
                codes << line.mid(3).toInt();
        lines_.clear();
        return codes;
    }

    // Waits until count bytes have arrived (or the bound passes) and takes them.
    QList<int> receive(int count, int boundMs = ArriveMs) {
        QList<int> codes = takeReceived();
        QDeadlineTimer deadline(boundMs);
        while (codes.size() < count && process_.waitForReadyRead(int(deadline.remainingTime())))
            codes += takeReceived();
        return codes;
    }

    bool waitForLine(const QString& wanted, int boundMs) {
        QDeadlineTimer deadline(boundMs);
        for (;;) {
            readLines();
            if (lines_.contains(wanted)) {
                lines_.removeOne(wanted);
                return true;
            }
            if (!process_.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
    }

private:
    void readLines() {
        partial_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
        QStringList complete = partial_.split(QLatin1Char('\n'));
        partial_ = complete.takeLast();
        lines_ += complete;
    }

    QTemporaryDir dir_;
    QProcess process_;
    QString partial_;
    QStringList lines_;
};

// The program ends only by its own Exit; a test ends it by force.
auto endingAtScopeExit(QProcess& program) {
    return qScopeGuard([&program] {
        program.kill();
        program.waitForFinished(StartMs);
    });
}

QList<int> codesOf(const QString& text) {
    QList<int> codes;
    for (const QChar ch : text)
        codes << byteFromChar(ch);
    return codes;
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
        // The Ready state after reception, as the user sees it.
        QVERIFY(form.chkClosed->isChecked() && !form.chkOpen->isChecked());
        QVERIFY(!form.optRxD->isChecked() && !form.optTxD->isChecked());
        for (const QPushButton* command : {form.cmdCom1, form.cmdMan, form.cmdSend, form.cmdSendC})
            QVERIFY2(command->isEnabled(), qPrintable(command->objectName()));
        QVERIFY(form.optS[0]->isEnabled() && form.optS[255]->isEnabled());
        QVERIFY(!zerbo->comTest.PortOpen());
        QVERIFY(board->takeReceived().isEmpty()); // nothing came back to the board
    }

    void slotClickReachesTheBoard_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("0") << 0;
        QTest::newRow("65") << 65;
        QTest::newRow("65 again") << 65;
        QTest::newRow("255") << 255;
    }
    void slotClickReachesTheBoard() {
        QFETCH(int, code);
        zerbo->form.optS[code]->click();
        QCOMPARE(board->receive(1), QList<int>{code});
    }

    void stringArrivesCompleteAndInOrder() {
        const QString text = QStringLiteral("Grüße, ZERBO! 0-255");
        zerbo->form.txtS->setText(text);
        zerbo->form.txtTime->setText(QStringLiteral("100"));
        zerbo->form.cmdSend->click(); // returns once the last character went out
        QCOMPARE(board->receive(int(text.size())), codesOf(text));
    }

    void continuousSendRepeatsUntilStopped() {
        FrmAscii& form = zerbo->form;
        constexpr int code = 90;
        constexpr int wanted = 5;
        form.txtO->setText(QString::number(code));
        form.txtTime->setText(QStringLiteral("50"));
        QList<int> received;
        // The send loops inside the click; the board's lines are read as it yields.
        const auto watch =
            connect(&board->process(), &QProcess::readyReadStandardOutput, this, [&] {
                received += board->takeReceived();
                if (received.size() >= wanted)
                    form.cmdStopC->click();
            });
        QTimer::singleShot(ArriveMs, form.cmdStopC, &QPushButton::click); // never loop forever
        form.cmdSendC->click();
        disconnect(watch);

        QVERIFY2(received.size() >= wanted, "the code did not arrive repeatedly");
        QCOMPARE(received.count(code), received.size());
        QVERIFY(!zerbo->comTest.PortOpen());
        // Bytes still on their way from before the stop, then nothing more.
        board->receive(1, 300);
        QCOMPARE(board->receive(1, 500), QList<int>{});
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

    void realProgramReportsAMissingBoard() {
        QTemporaryDir dir;
        QProcess program;
        const auto end = endingAtScopeExit(program);
        program.start(QStringLiteral(ZERBO_BINARY), {"--port", dir.filePath("no-board")});
        QDeadlineTimer deadline(StartMs);
        QByteArray errors;
        while (!errors.contains("8002") && program.waitForReadyRead(int(deadline.remainingTime())))
            errors += program.readAllStandardError();
        errors += program.readAllStandardError();
        QVERIFY2(errors.contains("Run-time error 8002"), errors.constData());
        QVERIFY(errors.contains(dir.filePath("no-board").toLocal8Bit()));
    }

    void commandLine_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("says");
        QTest::newRow("version") << "--version"
                                 << "zerbo " ZERBO_VERSION;
        QTest::newRow("help") << "--help"
                              << "--port <DEVICE>";
    }
    void commandLine() {
        QFETCH(QString, option);
        QFETCH(QString, says);
        QProcess program;
        program.start(QStringLiteral(ZERBO_BINARY), {option});
        QVERIFY(program.waitForFinished(StartMs));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(program.readAllStandardOutput()).contains(says));
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
