// SPDX-License-Identifier: GPL-3.0-or-later
// Finding COM1 when no device is named: the choice among the ports present, the
// picker, the no-port question, the virtual board, and which device is COM1 as
// standard error, the zerbo.serial log and the port indicators say it.
#include "app/com1_device.h"
#include "app/virtual_board.h"
#include "app/zerbo.h"
#include "board_process.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/no_port_dialog.h"
#include "form/port_picker.h"
#include "program.h"
#include "pty_pair.h"
#include "sample_ports.h"
#include "serial/port_choice.h"
#include "standard_error.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = Com1Choice::Outcome;
using namespace SamplePorts;

namespace {
const PortDescription Cdc{"/dev/ttyACM0", {}, {}, {}, {}, {}};                    // by its name
const PortDescription Odd{"/dev/ttyXRUSB0", "XR21V1410", {}, {}, 0x04e2, 0x1410}; // by its id
const PortDescription BuiltIn{"/dev/ttyS0", {}, {}, {}, {}, {}};
// How the FTDI adapter is named after its device.
const QString FtdiSays = " (FT232R USB UART, maker FTDI, serial number A50285BI, USB id "
                         "0403:6001: an FTDI chip, as on older Arduino Nanos and many adapters)";

// What chooseCom1() makes of ttyS0's open error and the ports present.
struct Choice {
    int defaultError = 0;
    QList<PortDescription> present{};
    bool ask = false; // a window can ask the user
    Outcome outcome = Outcome::Default;
    QStringList adapters{};
    QString says{}; // the 8002 text's start, when none is found
};

// What stands at ttyS0; the virtual board's link: none, a running board's, one
// left by a board that ended, or one older than the running board's terminal.
enum class TtyS0 { Missing, Opens, Busy };
enum class BoardLink { None, Running, Left, Older };
// The virtual board's program: none, one that starts, one that does not.
enum class Board { Absent, Starts, Fails };
// How output is checked: whole, for a part, or (--list-ports) one port a line.
enum class Check { Whole, Contains, PortLines };

// One look for COM1 with no device named; in the texts %1 is ttyS0, %2 the board's link.
struct Look {
    TtyS0 ttyS0 = TtyS0::Missing;
    BoardLink link = BoardLink::None;
    Board board = Board::Absent;
    QList<PortDescription> present{NoUart};
    WhenNotFound when = WhenNotFound::Ask;
    QList<NoPortAnswer> answers{}; // to each no-port question in turn
    int plugInAt = -1;             // the question while which the adapter is plugged in
    QStringList asked{};           // each question's start: board offered, adapters, text
    QString device{};              // COM1, empty for none
    Check check = Check::Whole;    // how says is found on standard error
    QString says{};
    std::optional<QList<PortDescription>> atPicker{}; // the ports once the picker shows
    QStringList listed{};                             // what the picker then lists
};

// Plays the user at the picker once it shows modally, then returns its result;
// a check that fails midway leaves the picker open, so it is closed then.
int pick(PortPicker& picker, const std::function<void()>& user) {
    QTimer::singleShot(0, &picker, [&picker, user] {
        user();
        if (picker.isVisible())
            picker.reject();
    });
    return picker.exec();
}

void click(PortPicker& picker, int row) {
    QListWidget* list = picker.list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// The child of serialLog(): COM1 found among the ports (the board's terminal as
// the one adapter) and named; the reception gets ten codes, then the board goes.
int playUnplugDuringReception(const QString&) {
    PtyPair board;
    PortDescription adapter = Ftdi;
    adapter.device = board.slavePath();
    const Com1Search search{"/nonexistent/zerbo-default", [adapter] { return QList{adapter}; }};
    const std::optional<Com1> found = findCom1Device({}, WhenNotFound::Report, search);
    const std::optional<Com1> named = findCom1Device(board.slavePath(), WhenNotFound::Report);
    if (!found || !named)
        return 2;
    Zerbo zerbo(named->device);
    onceWaiting(zerbo, [&board] {
        board.write(wholeTable().left(10));
        later(50, [&board] { board.closeMaster(); });
    });
    zerbo.Form_Load();
    std::printf("device %s\n", qPrintable(named->device));
    return 0;
}
} // namespace

Q_DECLARE_METATYPE(Choice)
Q_DECLARE_METATYPE(Check)
Q_DECLARE_METATYPE(Look)

class Com1ChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void choice_data() {
        QTest::addColumn<Choice>("choice");
        using enum Outcome;
        QTest::newRow("ttyS0 opens, an adapter present, nobody to ask")
            << Choice(0, {BuiltIn, Ftdi}, false, Default);
        QTest::newRow("ttyS0 opens, adapters present: all offered")
            << Choice(0, {BuiltIn, Ftdi, Cdc}, true, DefaultOrAdapters, {Ftdi.device, Cdc.device});
        QTest::newRow("ttyS0 opens alone") << Choice(0, {BuiltIn, NoUart}, true, Default);
        QTest::newRow("ttyS0 busy, one adapter")
            << Choice(EBUSY, {Ftdi}, false, OneAdapter, {Ftdi.device});
        QTest::newRow("ttyS0 busy, one adapter, asked: ttyS0's error, the adapter offered")
            << Choice(EBUSY, {Ftdi}, true, Refused, {Ftdi.device});
        // ttyS ports never count; an ACM port by its name, another by its USB id.
        QTest::newRow("ttyS0 without a UART, several adapters")
            << Choice(ENODEV, {Cdc, NoUart, Odd}, true, SeveralAdapters, {Cdc.device, Odd.device});
        QTest::newRow("ttyS0 not allowed, none: ttyS0's own error")
            << Choice(EACCES, {BuiltIn}, false, Default);
        QTest::newRow("ttyS0 not allowed, none, asked") << Choice(EACCES, {BuiltIn}, true, Refused);
        QTest::newRow("ttyS0 absent, none")
            << Choice(ENOENT, {}, true, NoneFound, {},
                      "Serial port /dev/ttyS0 (COM1) was not found, and no USB serial adapter");
        QTest::newRow("no terminal at ttyS0, none")
            << Choice(ENOTTY, {NoUart}, false, NoneFound, {},
                      "Serial port /dev/ttyS0 (COM1) is not a serial device, and no USB serial "
                      "adapter");
        QTest::newRow("ttyS ports without a UART only")
            << Choice(ENODEV, {BuiltIn, NoUart}, false, NoneFound, {},
                      "Serial port /dev/ttyS0 (COM1) could not be opened (No such device), and no");
    }
    void choice() {
        QFETCH(Choice, choice);
        const Com1Choice chosen = chooseCom1(choice.defaultError, choice.present, choice.ask);
        QCOMPARE(chosen.outcome, choice.outcome);
        QStringList devices;
        for (const PortDescription& adapter : chosen.adapters)
            devices << adapter.device;
        QCOMPARE(devices, choice.adapters);
        if (choice.outcome == Outcome::NoneFound) {
            const RuntimeError error = noPortFound(choice.defaultError);
            QCOMPARE(error.number(), 8002);
            QVERIFY2(error.description().startsWith(choice.says), qPrintable(error.description()));
            QVERIFY(error.description().contains("--port DEVICE or the environment variable "
                                                 "ZERBO_PORT; zerbo --list-ports"));
        }
    }

    // Without a window, standard error names COM1, or the adapters to pick from, or
    // none at all is 8002. With one, the picker offers ttyS0 and the adapters, and
    // no port or a refusing ttyS0 asks: the adapter, the virtual board (when there),
    // another look, or the end. A running board is taken; a link left by one is not.
    void finding_data() {
        QTest::addColumn<Look>("look");
        using enum TtyS0;
        using enum BoardLink;
        using enum Board;
        using enum WhenNotFound;
        using enum Check;
        using enum NoPortAnswer;
        QTest::newRow("one adapter, reported")
            << Look(Missing, None, Absent, {BuiltIn, Ftdi}, Report, {}, -1, {}, Ftdi.device, Whole,
                    "zerbo: /nonexistent/ttyS0: No such file or directory; using the USB serial "
                    "adapter /dev/ttyUSB0" +
                        FtdiSays + " as COM1\n");
        QTest::newRow("the default opens, reported")
            << Look(Opens, None, Absent, {BuiltIn, Ftdi}, Report, {}, -1, {}, "%1", Whole,
                    "zerbo: COM1 is %1 (it opens)\n");
        QTest::newRow("several, reported")
            << Look(Missing, None, Absent, {Cdc, Ftdi}, Report, {}, -1, {}, "", Whole,
                    "zerbo: /nonexistent/ttyS0: No such file or directory, and several USB serial "
                    "adapters are plugged in; name one with --port DEVICE:\n  /dev/ttyACM0\n  "
                    "/dev/ttyUSB0" +
                        FtdiSays + "\n");
        // Without a window to ask in, a ttyS0 that refuses is taken, for its open to say why.
        QTest::newRow("ttyS0 busy, none, reported")
            << Look(Busy, None, Absent, {NoUart}, Report, {}, -1, {}, "%1", Whole,
                    "zerbo: COM1 is %1 (device or resource busy, and no USB serial adapter)\n");
        QTest::newRow("none at all, reported: 8002, naming the board")
            << Look(Missing, None, Absent, {NoUart}, Report, {}, -1, {}, "", Contains,
                    "error 8002: Serial port /nonexistent/ttyS0 (COM1) was not found, and no USB "
                    "serial adapter (/dev/ttyUSB*, /dev/ttyACM* or a port with a USB vendor id) is "
                    "plugged in. Connect the board's serial adapter, or name its device with "
                    "--port DEVICE or the environment variable ZERBO_PORT; zerbo --list-ports "
                    "lists the serial ports present. Without hardware, zerbo-board plays the "
                    "board: start it, then zerbo --port on the path it prints.");
        QTest::newRow("the picker: the default first, then as the list goes")
            << Look(Opens, None, Absent, {Cdc, Ftdi}, Ask, {}, -1, {}, "%1", Whole,
                    "zerbo: COM1 is %1 (picked from %1 and the USB serial adapters)\n", QList{Ftdi},
                    {"%1", Ftdi.device});
        const QString missing = "| Serial port /nonexistent/ttyS0 (COM1) was not found";
        QTest::newRow("the virtual board")
            << Look(Missing, None, Starts, {NoUart}, Ask, {VirtualBoard}, -1, {"1 " + missing},
                    "/run/board", Contains,
                    "zerbo: COM1 is /run/board (the virtual board, /opt/zerbo-board)\n");
        QTest::newRow("it does not start: asked again")
            << Look(Missing, None, Fails, {NoUart}, Ask, {VirtualBoard, End}, -1,
                    {"1 " + missing, "1 " + missing});
        QTest::newRow("an adapter plugged in, listed again")
            << Look(Missing, None, Absent, {NoUart}, Ask, {ListAgain}, 0, {"0 " + missing},
                    Ftdi.device, Contains, "using the USB serial");
        QTest::newRow("still nothing, listed again, then the end")
            << Look(Missing, None, Absent, {NoUart}, Ask, {ListAgain, End}, -1,
                    {"0 " + missing, "0 " + missing});
        const QString busy = "| Serial port %1 (COM1) is in use by another program: PID 1 (";
        QTest::newRow("ttyS0 busy: its error, then the adapter plugged in")
            << Look(Busy, None, Absent, {NoUart}, Ask, {ListAgain, UseAdapter}, 0,
                    {"0 " + busy, "0 /dev/ttyUSB0" + busy}, Ftdi.device, Contains,
                    "zerbo: COM1 is /dev/ttyUSB0 (picked from the USB serial adapters)\n");
        QTest::newRow("a board runs: taken")
            << Look(Busy, Running, Starts, {NoUart}, Ask, {}, -1, {}, "%2", Contains,
                    "zerbo: %1: Device or resource busy; using the virtual board that runs at %2");
        QTest::newRow("a link left by a board that ended: asked")
            << Look(Missing, Left, Absent, {NoUart}, Ask, {End}, -1, {"0 " + missing});
        QTest::newRow("its number since taken by another board: asked")
            << Look(Missing, Older, Absent, {NoUart}, Ask, {End}, -1, {"0 " + missing});
    }
    void finding() {
        QFETCH(Look, look);
        PtyPair pty;
        const QString ttyS0 = look.ttyS0 == TtyS0::Missing ? "/nonexistent/ttyS0" : pty.slavePath();
        // A busy ttyS0 is held by PID 1, which always runs, through its lock file.
        QFile lock("/tmp/LCK.." + pty.slavePath().mid(5).replace('/', '_'));
        const auto unlock = qScopeGuard([&lock] { lock.remove(); });
        if (look.ttyS0 == TtyS0::Busy)
            QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write("         1\n") == 11 &&
                    lock.flush());
        Com1Search search{ttyS0, [&look] { return look.present; }};
        std::optional<BoardProcess> running;
        if (look.link == BoardLink::Running || look.link == BoardLink::Older)
            running.emplace();
        QTemporaryDir left;
        search.boardLink =
            look.link == BoardLink::Running ? running->link() : left.filePath("zerbo-board");
        // A left link leads to a terminal whose number went to another since: this one.
        if (look.link == BoardLink::Left)
            QVERIFY(QFile::link(pty.slavePath(), search.boardLink));
        if (look.link == BoardLink::Older) { // made an hour before the running board's terminal
            QVERIFY(QFile::link(running->devicePath(), search.boardLink));
            const timespec anHourAgo{::time(nullptr) - 3600, 0}, times[2]{anHourAgo, anHourAgo};
            QVERIFY(::utimensat(AT_FDCWD, qPrintable(search.boardLink), times,
                                AT_SYMLINK_NOFOLLOW) == 0);
        }
        QStringList questions, listed;
        search.askNoPort = [&](const QString& why, bool withBoard, const QStringList& adapters) {
            if (questions.size() == look.plugInAt)
                look.present << Ftdi;
            questions << QStringLiteral("%1 %2| %3").arg(withBoard).arg(adapters.join(' '), why);
            return look.answers.isEmpty() ? NoPortAnswer::End : look.answers.takeFirst();
        };
        const QString program = look.board == Board::Absent ? "" : "/opt/zerbo-board";
        search.boardProgram = [program] { return program; };
        search.startBoard = [&](const QString& started) {
            return started == program && look.board == Board::Starts
                       ? std::optional<QString>("/run/board")
                       : std::nullopt;
        };
        if (look.atPicker) // the ports change as it shows; the user takes the first row
            onNextDialog([&](QDialog& dialog) {
                auto* picker = qobject_cast<PortPicker*>(&dialog);
                if (!picker)
                    return dialog.reject();
                look.present = *look.atPicker;
                picker->refresh();
                for (int row = 0; row < picker->list()->count(); ++row)
                    listed << picker->list()->item(row)->data(Qt::UserRole).toString();
                click(*picker, 0);
                picker->use()->click();
            });
        std::optional<Com1> found;
        const QString said = standardErrorOf([&] {
            try {
                found = findCom1Device({}, look.when, search);
            } catch (const RuntimeError& error) { // written as the program reports it
                std::fprintf(stderr, "error %d: %s\n", error.number(),
                             qPrintable(error.description()));
            }
        });
        const auto filled = [&](QString text) {
            return text.replace("%1", ttyS0).replace("%2", search.boardLink);
        };
        QCOMPARE(found.value_or(Com1()).device, filled(look.device));
        QVERIFY2(look.check == Check::Whole ? said == filled(look.says)
                                            : said.contains(filled(look.says)),
                 qPrintable(said));
        QVERIFY(look.answers.isEmpty());
        QCOMPARE(questions.size(), look.asked.size());
        for (int at = 0; at < questions.size(); ++at)
            QVERIFY2(questions[at].startsWith(filled(look.asked[at])), qPrintable(questions[at]));
        QCOMPARE(listed.join(' '), filled(look.listed.join(' ')));
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
        QCOMPARE(pick(ending, [&] { ending.end()->click(); }), QDialog::Rejected);
        PortPicker picker(present, [&present] { return present; });
        QCOMPARE(picker.list()->item(1)->text(), "/dev/ttyUSB0" + FtdiSays);
        const int result = pick(picker, [&] {
            click(picker, 1);
            present = {Cdc, Odd}; // the selected one goes between two looks at the list
            picker.use()->click();
            QVERIFY(picker.isVisible());
            QCOMPARE(picker.note()->text(), "/dev/ttyUSB0 was unplugged; pick another adapter.");
            QVERIFY(!picker.use()->isEnabled());
            present = {NoUart};
            picker.refresh();
            QCOMPARE(picker.list()->count(), 0);
            QVERIFY(picker.note()->text().startsWith("No USB serial adapter is plugged in now"));
            present = {NoUart, Odd}; // one comes back in: the user still says
            QTest::qWait(PortPicker::RefreshMs + 200);
            QCOMPARE(picker.list()->count(), 1);
            click(picker, 0);
            picker.use()->click();
        });
        QCOMPARE(result, QDialog::Accepted);
        QCOMPARE(picker.chosenDevice(), Odd.device);
    }

    // What prints and ends works from a console without a display (a window
    // system that cannot start would abort the program); --list-ports gives
    // one port a line, as the system lists them, with whether it opens.
    void printsWithoutADisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<Check>("check");
        QTest::addColumn<QString>("says");
        QTest::newRow("version") << "--version" << Check::Whole << "zerbo " ZERBO_VERSION "\n";
        QTest::newRow("help") << "--help" << Check::Contains << "--loopback-test";
        QString ports;
        for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
            ports += port.systemLocation() + ' ';
        QTest::newRow("list-ports") << "--list-ports" << Check::PortLines << ports;
    }
    void printsWithoutADisplay() {
        QFETCH(QString, option);
        QFETCH(Check, check);
        QFETCH(QString, says);
        QProcess program;
        QTemporaryDir runtime; // where no virtual board runs
        program.start("env", {"-u", "DISPLAY", "QT_QPA_PLATFORM=xcb",
                              "XDG_RUNTIME_DIR=" + runtime.path(), ZERBO_BINARY, option});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
        if (check == Check::PortLines) { // each port: what it is, then whether it opens
            const QRegularExpression status("^/\\S+( \\(.+\\))?: (free|busy|busy: .+|"
                                            "no permission|no UART|.+)$");
            QString devices;
            for (const QString& line : output.split('\n', Qt::SkipEmptyParts)) {
                QVERIFY2(status.match(line).hasMatch(), qPrintable(line));
                devices += line.section(QRegularExpression("[ :]"), 0, 0) + ' ';
            }
            output = devices;
        }
        QVERIFY2(check == Check::Contains ? output.contains(says) : output == says,
                 qPrintable(output));
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

    // The zerbo.serial category, its rules from the child's environment: silent
    // by default; turned on, it tells in this order how COM1 was chosen, that
    // the device was lost, and why the reception ended.
    void serialLog_data() {
        QTest::addColumn<bool>("turnedOn");
        QTest::newRow("silent by default") << false;
        QTest::newRow("turned on") << true;
    }
    void serialLog() {
        QFETCH(bool, turnedOn);
        if (turnedOn)
            qputenv("QT_LOGGING_RULES", "zerbo.serial.debug=true");
        else
            qunsetenv("QT_LOGGING_RULES");
        const ChildResult child = runChild("unplug");
        qunsetenv("QT_LOGGING_RULES");
        QCOMPARE(child.exitCode, 0);
        const QString& said = child.output;
        if (!turnedOn) {
            QVERIFY2(!said.contains("zerbo.serial"), qPrintable(said));
            QVERIFY2(said.contains("went away during the reception"), qPrintable(said));
            return;
        }
        const QString device = said.section("device ", 1).section('\n', 0, 0);
        QVERIFY2(!device.isEmpty(), qPrintable(said));
        qsizetype from = 0;
        for (QString line : QStringList{
                 "looking for COM1: no device named\n",
                 "/nonexistent/zerbo-default: No such file or directory\n",
                 "present: %1" + FtdiSays + "\n", "looking for COM1: named %1\n", "COM1 is %1\n",
                 "%1 (COM1) lost: the line hung up; the port is closed\n",
                 "the reception ended on error 8016: Receiving on serial port %1 (COM1) failed: "
                 "Input/output error."}) {
            line = "zerbo.serial: " + line.replace("%1", device);
            const qsizetype at = said.indexOf(line, from);
            QVERIFY2(at >= 0, qPrintable(line + " missing after " + QString::number(from) +
                                         " in:\n" + said));
            from = at + line.size();
        }
        QCOMPARE(said.count("zerbo.serial: COM1 is " + device + '\n'), 2);
    }
};

int main(int argc, char** argv) {
    return mainPlayingScenarios<Com1ChoiceTest>(argc, argv, playUnplugDuringReception);
}
#include "tst_com1_choice.moc"
