// SPDX-License-Identifier: GPL-3.0-or-later
// Finding COM1 when no device is named: the choice over the ports present
// (injected lists), the dialog that asks among several adapters, and the real
// program's list of ports.
#include "app/com1_device.h"
#include "app/virtual_board.h"
#include "app/zerbo.h"
#include "form/no_port_dialog.h"
#include "form/port_picker.h"
#include "pty_pair.h"
#include "serial/port_choice.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

using Outcome = Com1Choice::Outcome;

namespace {
const PortDescription Ftdi{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001};
const PortDescription Cdc{"/dev/ttyACM0", {}, {}, {}, {}, {}};                    // by its name
const PortDescription Odd{"/dev/ttyXRUSB0", "XR21V1410", {}, {}, 0x04e2, 0x1410}; // by its id
const PortDescription BuiltIn{"/dev/ttyS0", {}, {}, {}, {}, {}};
const PortDescription NoUart{"/dev/ttyS1", {}, {}, {}, {}, {}};

// Plays the user at the picker once it shows modally, then returns its result.
// A check that fails in the middle leaves the picker open: it is closed then.
int pick(PortPicker& picker, const std::function<void()>& user) {
    QTimer::singleShot(0, &picker, [&picker, user] {
        user();
        if (picker.isVisible())
            picker.reject();
    });
    return picker.exec();
}

// What the call writes on standard error.
QString standardErrorOf(const std::function<void()>& call) {
    int ends[2];
    if (::pipe(ends) != 0)
        return QStringLiteral("no pipe");
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(ends[1], STDERR_FILENO);
    ::close(ends[1]);
    call();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    QByteArray text(4096, '\0');
    const ssize_t got = ::read(ends[0], text.data(), size_t(text.size()));
    ::close(ends[0]);
    return QString::fromLocal8Bit(text.left(std::max<ssize_t>(got, 0)));
}

void click(PortPicker& picker, int row) {
    QListWidget* list = picker.list;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}
} // namespace

Q_DECLARE_METATYPE(PortDescription)
Q_DECLARE_METATYPE(Outcome)

class AdapterChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void choice_data() {
        QTest::addColumn<int>("defaultError");
        QTest::addColumn<QList<PortDescription>>("present");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QStringList>("adapters");
        QTest::addColumn<QString>("says"); // the 8002 text, when none is found
        QTest::newRow("ttyS0 opens, an adapter present")
            << 0 << QList{BuiltIn, Ftdi} << Outcome::Default << QStringList() << "";
        QTest::newRow("ttyS0 busy, one adapter")
            << EBUSY << QList{Ftdi} << Outcome::OneAdapter << QStringList{Ftdi.device} << "";
        // ttyS ports never count; an ACM port by its name, another by its USB id.
        QTest::newRow("ttyS0 without a UART, several adapters")
            << ENODEV << QList{Cdc, NoUart, Odd} << Outcome::SeveralAdapters
            << QStringList{Cdc.device, Odd.device} << "";
        QTest::newRow("ttyS0 not allowed, none: ttyS0's own error")
            << EACCES << QList{BuiltIn} << Outcome::Default << QStringList() << "";
        QTest::newRow("ttyS0 absent, none")
            << ENOENT << QList<PortDescription>() << Outcome::NoneFound << QStringList()
            << "Serial port /dev/ttyS0 (COM1) was not found, and no USB serial adapter";
        QTest::newRow("no terminal at ttyS0, none")
            << ENOTTY << QList{NoUart} << Outcome::NoneFound << QStringList()
            << "Serial port /dev/ttyS0 (COM1) is not a serial device, and no USB serial adapter";
        QTest::newRow("ttyS ports without a UART only")
            << ENODEV << QList{BuiltIn, NoUart} << Outcome::NoneFound << QStringList()
            << "Serial port /dev/ttyS0 (COM1) could not be opened (No such device), and no";
    }
    void choice() {
        QFETCH(int, defaultError);
        QFETCH(QList<PortDescription>, present);
        QFETCH(Outcome, outcome);
        QFETCH(QStringList, adapters);
        QFETCH(QString, says);
        const Com1Choice choice = chooseCom1(defaultError, present);
        QCOMPARE(choice.outcome, outcome);
        QStringList devices;
        for (const PortDescription& adapter : choice.adapters)
            devices << adapter.device;
        QCOMPARE(devices, adapters);
        if (outcome == Outcome::NoneFound) {
            const RuntimeError error = noPortFound(defaultError);
            QCOMPARE(error.number(), 8002);
            QVERIFY2(error.description().startsWith(says), qPrintable(error.description()));
            QVERIFY(error.description().contains("--port DEVICE or the environment variable "
                                                 "ZERBO_PORT; zerbo --list-ports"));
        }
    }

    // Without a window to ask in, standard error says which adapter stands
    // for COM1, or lists them and asks for one to be named.
    void standardErrorSaysWhich_data() {
        QTest::addColumn<QList<PortDescription>>("present");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("says");
        QTest::newRow("one") << QList{BuiltIn, Ftdi} << Ftdi.device
                             << "zerbo: /nonexistent/ttyS0: No such file or directory; using the "
                                "USB serial adapter /dev/ttyUSB0 (FT232R USB UART, maker FTDI, "
                                "serial number A50285BI, USB id 0403:6001) as COM1\n";
        QTest::newRow("the default opens") << QList{BuiltIn, Ftdi} << "opens"
                                           << "zerbo: COM1 is opens: (it opens)\n";
        QTest::newRow("several") << QList{Cdc, Ftdi} << QString()
                                 << "zerbo: /nonexistent/ttyS0: No such file or directory, and "
                                    "several USB serial adapters are plugged in; name one with "
                                    "--port DEVICE:\n  /dev/ttyACM0\n  /dev/ttyUSB0 (FT232R USB "
                                    "UART, maker FTDI, serial number A50285BI, USB id 0403:6001)\n";
    }
    void standardErrorSaysWhich() {
        QFETCH(QList<PortDescription>, present);
        QFETCH(QString, device);
        QFETCH(QString, says);
        std::optional<QString> found;
        PtyPair ttyS0; // the default device, when a row's device is "opens"
        const QString fallback = device == "opens" ? ttyS0.slavePath() : "/nonexistent/ttyS0";
        device.replace("opens", ttyS0.slavePath());
        says.replace("opens:", ttyS0.slavePath());
        const QString said = standardErrorOf([&] {
            found =
                findCom1Device({}, WhenSeveral::Refuse, {fallback, [present] { return present; }});
        });
        QCOMPARE(found.value_or(QString()), device);
        QCOMPARE(said, says);
    }

    // The look at the default device, on real ones: a serial line, and none.
    void openErrorOfRealDevices() {
        PtyPair line;
        QCOMPARE(openError(line.slavePath()), 0);
        QCOMPARE(openError("/nonexistent/ttyS0"), ENOENT);
        QCOMPARE(openError("/dev/null"), ENOTTY); // opens, but is no serial line
    }

    // The user ends the program, or picks an adapter while they are plugged in and out.
    void pickerAnswersAndFollowsTheList() {
        QList<PortDescription> present{Cdc, Ftdi};
        PortPicker ending(present, [&present] { return present; });
        QCOMPARE(pick(ending, [&] { ending.end->click(); }), QDialog::Rejected);
        PortPicker picker(present, [&present] { return present; });
        QCOMPARE(picker.list->item(1)->text(), "/dev/ttyUSB0 (FT232R USB UART, maker FTDI, "
                                               "serial number A50285BI, USB id 0403:6001)");
        const int result = pick(picker, [&] {
            click(picker, 1);
            present = {Cdc, Odd}; // the selected one goes between two looks at the list
            picker.use->click();
            QVERIFY(picker.isVisible());
            QCOMPARE(picker.note->text(), "/dev/ttyUSB0 was unplugged; pick another adapter.");
            QVERIFY(!picker.use->isEnabled());
            present = {NoUart};
            picker.refresh();
            QCOMPARE(picker.list->count(), 0);
            QVERIFY(picker.note->text().startsWith("No USB serial adapter is plugged in now"));
            present = {NoUart, Odd}; // one comes back in: the user still says
            QTest::qWait(PortPicker::RefreshMs + 200);
            QCOMPARE(picker.list->count(), 1);
            click(picker, 0);
            picker.use->click();
        });
        QCOMPARE(result, QDialog::Accepted);
        QCOMPARE(picker.chosenDevice(), Odd.device);
    }

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
        QCOMPARE(zerbo.form.chkOpen->toolTip(), "COM1 is /dev/ttyUSB3");
        QCOMPARE(zerbo.form.chkClosed->toolTip(), "COM1 is /dev/ttyUSB3");
    }

    // What prints and ends works from a console without a display (a window
    // system that cannot start would abort the program); --list-ports gives
    // one port a line, as the system lists them.
    void printsWithoutADisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("says");
        QTest::newRow("version") << "--version"
                                 << "zerbo " ZERBO_VERSION "\n";
        QTest::newRow("help") << "--help"
                              << "--loopback-test";
        QString ports;
        for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
            ports += port.systemLocation() + ' ';
        QTest::newRow("list-ports") << "--list-ports" << ports;
    }
    void printsWithoutADisplay() {
        QFETCH(QString, option);
        QFETCH(QString, says);
        QProcess program;
        program.start("env", {"-u", "DISPLAY", "QT_QPA_PLATFORM=xcb", ZERBO_BINARY, option});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
        if (option == "--list-ports") {
            QString devices;
            for (const QString& line : output.split('\n', Qt::SkipEmptyParts))
                devices += line.section(QRegularExpression("[ :]"), 0, 0) + ' ';
            output = devices;
        }
        QVERIFY2(option == "--help" ? output.contains(says) : output == says, qPrintable(output));
    }
};

QTEST_MAIN(AdapterChoiceTest)
#include "tst_adapter_choice.moc"
