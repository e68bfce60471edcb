// SPDX-License-Identifier: GPL-3.0-or-later
// No serial port at all: the window asks (the virtual board, another look,
// the end) instead of ending; the real board starts as the dialog starts it;
// and which device is COM1 is said on standard error and on the port
// indicators' tool tips.
#include "app/com1_device.h"
#include "app/virtual_board.h"
#include "app/zerbo.h"
#include "form/no_port_dialog.h"
#include "standard_error.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <unistd.h>

namespace {
const PortDescription Ftdi{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001};
const PortDescription NoUart{"/dev/ttyS1", {}, {}, {}, {}, {}};
} // namespace

class NoPortTest : public QObject {
    Q_OBJECT
private slots:
    // With no port at all the window asks instead of ending: the virtual
    // board (offered only when it is there), another look, or the end. The
    // cable test, with nobody to ask, gets 8002, which names the board too.
    void noPortAsks_data() {
        QTest::addColumn<QString>("board");       // the board program, "" for none
        QTest::addColumn<QStringList>("answers"); // in turn
        QTest::addColumn<QString>("device");      // COM1, "" for the end
        QTest::addColumn<QString>("says");        // on standard error
        QTest::newRow("the virtual board")
            << "/opt/zerbo-board" << QStringList{"board"} << "/run/board"
            << "zerbo: COM1 is /run/board (the virtual board, /opt/zerbo-board)\n";
        QTest::newRow("it does not start: asked again")
            << "/opt/zerbo-board" << QStringList{"board fails", "end"} << ""
            << "";
        QTest::newRow("an adapter plugged in, listed again")
            << "" << QStringList{"plug in", "again"} << Ftdi.device << "using the USB serial";
        QTest::newRow("still nothing, listed again, then the end")
            << "" << QStringList{"again", "end"} << ""
            << "";
    }
    void noPortAsks() {
        QFETCH(QString, board);
        QFETCH(QStringList, answers);
        QFETCH(QString, device);
        QFETCH(QString, says);
        QList<PortDescription> present{NoUart};
        QStringList asked;
        Com1Search search{"/nonexistent/ttyS0", [&present] { return present; }};
        search.askNoPort = [&](const QString& why, bool withBoard) {
            asked << QStringLiteral("%1 %2").arg(withBoard).arg(why.section(QChar(','), 0, 0));
            QString answer = answers.takeFirst();
            if (answer == "plug in") {
                present << Ftdi;
                answer = answers.takeFirst();
            }
            return answer.startsWith("board") ? NoPortAnswer::VirtualBoard
                   : answer == "again"        ? NoPortAnswer::ListAgain
                                              : NoPortAnswer::End;
        };
        search.boardProgram = [board] { return board; };
        bool boardFails = false;
        search.startBoard = [&](const QString& program) -> std::optional<QString> {
            if (program != board || boardFails)
                return std::nullopt;
            return QString("/run/board");
        };
        boardFails = QTest::currentDataTag() == QByteArray("it does not start: asked again");
        std::optional<QString> found;
        const QString said =
            standardErrorOf([&] { found = findCom1Device({}, WhenSeveral::Ask, search); });
        QCOMPARE(found.value_or(QString()), device);
        QVERIFY2(says.isEmpty() ? said.isEmpty() : said.contains(says), qPrintable(said));
        QVERIFY(answers.isEmpty());
        for (const QString& question : asked)
            QCOMPARE(question,
                     QStringLiteral("%1 Serial port /nonexistent/ttyS0 (COM1) was not found")
                         .arg(!board.isEmpty()));
        bool refused = false;
        present = {NoUart};
        try {
            findCom1Device({}, WhenSeveral::Refuse, search);
        } catch (const RuntimeError& error) {
            refused = error.number() == 8002 &&
                      error.description().contains("Without hardware, zerbo-board plays the "
                                                   "board: start it, then zerbo --port on the "
                                                   "path it prints.");
        }
        QVERIFY(refused);
    }

    // The dialog itself: its buttons and what each answers.
    void noPortDialogAnswers() {
        NoPortDialog without("nothing found", false);
        QVERIFY(!without.virtualBoard);
        QCOMPARE(without.listAgain->text(), "List again");
        QCOMPARE(without.end->text(), "End");
        QCOMPARE(without.text->text(), "nothing found");
        for (const auto& [button, answer] :
             {std::pair{&NoPortDialog::virtualBoard, NoPortDialog::Answer::VirtualBoard},
              std::pair{&NoPortDialog::listAgain, NoPortDialog::Answer::ListAgain},
              std::pair{&NoPortDialog::end, NoPortDialog::Answer::End}}) {
            NoPortDialog dialog("nothing found", true);
            QCOMPARE(dialog.virtualBoard->text(), "Start the virtual board");
            QPushButton* pressed = dialog.*button;
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
        QCOMPARE(zerbo.form.chkOpen()->toolTip(), "COM1 is /dev/ttyUSB3");
        QCOMPARE(zerbo.form.chkClosed()->toolTip(), "COM1 is /dev/ttyUSB3");
    }
};

QTEST_MAIN(NoPortTest)
#include "tst_no_port.moc"
