// SPDX-License-Identifier: GPL-3.0-or-later
// Finding COM1 when no device is named: the choice over the ports present
// (injected lists), the dialog that asks among several adapters, and with no
// port at all the questions (the virtual board, another look, the end)
// instead of the end; the real board started as that dialog starts it; the
// real program's list of ports; and which device is COM1, as standard error,
// the zerbo.serial log and the port indicators' tool tips say it.
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
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = Com1Choice::Outcome;

using namespace SamplePorts;

namespace {
const PortDescription Cdc{"/dev/ttyACM0", {}, {}, {}, {}, {}};                    // by its name
const PortDescription Odd{"/dev/ttyXRUSB0", "XR21V1410", {}, {}, 0x04e2, 0x1410}; // by its id
const PortDescription BuiltIn{"/dev/ttyS0", {}, {}, {}, {}, {}};

// What stands at ttyS0; the virtual board's link: none, a running board's, one
// left by a board that ended, or one older than the running board's terminal.
enum class TtyS0 { Missing, Opens, Busy };
enum class BoardLink { None, Running, Left, Older };

// The device's lock file, naming PID 1 (which always runs) once held; gone
// when the case ends.
struct LockFile {
    explicit LockFile(const QString& device)
        : path("/tmp/LCK.." + QString(device).mid(5).replace('/', '_')) {}
    ~LockFile() { QFile::remove(path); }
    bool hold() const {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("         1\n") == 11;
    }
    const QString path;
};

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

void click(PortPicker& picker, int row) {
    QListWidget* list = picker.list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// The child of serialLog(): COM1 is found among the ports (the board's
// pseudo-terminal as the one USB adapter) and named; the reception gets ten
// codes, then the board goes away.
int playUnplugDuringReception(const QString&) {
    PtyPair board;
    Com1Search search;
    search.defaultDevice = QStringLiteral("/nonexistent/zerbo-default");
    search.ports = [&board] {
        PortDescription adapter = Ftdi;
        adapter.device = board.slavePath();
        return QList<PortDescription>{adapter};
    };
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

Q_DECLARE_METATYPE(PortDescription)
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(TtyS0)
Q_DECLARE_METATYPE(BoardLink)

class Com1ChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void choice_data() {
        QTest::addColumn<int>("defaultError");
        QTest::addColumn<QList<PortDescription>>("present");
        QTest::addColumn<bool>("ask"); // a window can ask the user
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QStringList>("adapters");
        QTest::addColumn<QString>("says"); // the 8002 text, when none is found
        QTest::newRow("ttyS0 opens, an adapter present, nobody to ask")
            << 0 << QList{BuiltIn, Ftdi} << false << Outcome::Default << QStringList() << "";
        QTest::newRow("ttyS0 opens, adapters present: all offered")
            << 0 << QList{BuiltIn, Ftdi, Cdc} << true << Outcome::DefaultOrAdapters
            << QStringList{Ftdi.device, Cdc.device} << "";
        QTest::newRow("ttyS0 opens alone")
            << 0 << QList{BuiltIn, NoUart} << true << Outcome::Default << QStringList() << "";
        QTest::newRow("ttyS0 busy, one adapter")
            << EBUSY << QList{Ftdi} << false << Outcome::OneAdapter << QStringList{Ftdi.device}
            << "";
        QTest::newRow("ttyS0 busy, one adapter, asked: ttyS0's error, the adapter offered")
            << EBUSY << QList{Ftdi} << true << Outcome::Refused << QStringList{Ftdi.device} << "";
        // ttyS ports never count; an ACM port by its name, another by its USB id.
        QTest::newRow("ttyS0 without a UART, several adapters")
            << ENODEV << QList{Cdc, NoUart, Odd} << true << Outcome::SeveralAdapters
            << QStringList{Cdc.device, Odd.device} << "";
        QTest::newRow("ttyS0 not allowed, none: ttyS0's own error")
            << EACCES << QList{BuiltIn} << false << Outcome::Default << QStringList() << "";
        QTest::newRow("ttyS0 not allowed, none, asked")
            << EACCES << QList{BuiltIn} << true << Outcome::Refused << QStringList() << "";
        QTest::newRow("ttyS0 absent, none")
            << ENOENT << QList<PortDescription>() << true << Outcome::NoneFound << QStringList()
            << "Serial port /dev/ttyS0 (COM1) was not found, and no USB serial adapter";
        QTest::newRow("no terminal at ttyS0, none")
            << ENOTTY << QList{NoUart} << false << Outcome::NoneFound << QStringList()
            << "Serial port /dev/ttyS0 (COM1) is not a serial device, and no USB serial adapter";
        QTest::newRow("ttyS ports without a UART only")
            << ENODEV << QList{BuiltIn, NoUart} << false << Outcome::NoneFound << QStringList()
            << "Serial port /dev/ttyS0 (COM1) could not be opened (No such device), and no";
    }
    void choice() {
        QFETCH(int, defaultError);
        QFETCH(QList<PortDescription>, present);
        QFETCH(bool, ask);
        QFETCH(Outcome, outcome);
        QFETCH(QStringList, adapters);
        QFETCH(QString, says);
        const Com1Choice choice = chooseCom1(defaultError, present, ask);
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
        QTest::addColumn<TtyS0>("ttyS0");
        QTest::addColumn<QList<PortDescription>>("present");
        QTest::addColumn<QString>("device"); // %1: ttyS0
        QTest::addColumn<QString>("says");
        const auto row = [](const char* name, TtyS0 ttyS0, const QList<PortDescription>& present,
                            const QString& device, const QString& says) {
            QTest::newRow(name) << ttyS0 << present << device << says;
        };
        row("one", TtyS0::Missing, {BuiltIn, Ftdi}, Ftdi.device,
            "zerbo: /nonexistent/ttyS0: No such file or directory; using the USB serial adapter "
            "/dev/ttyUSB0 (FT232R USB UART, maker FTDI, serial number A50285BI, USB id 0403:6001: "
            "an FTDI chip, as on older Arduino Nanos and many adapters) as COM1\n");
        row("the default opens", TtyS0::Opens, {BuiltIn, Ftdi}, "%1",
            "zerbo: COM1 is %1 (it opens)\n");
        row("several", TtyS0::Missing, {Cdc, Ftdi}, "",
            "zerbo: /nonexistent/ttyS0: No such file or directory, and several USB serial "
            "adapters are plugged in; name one with --port DEVICE:\n  /dev/ttyACM0\n  "
            "/dev/ttyUSB0 (FT232R USB UART, maker FTDI, serial number A50285BI, USB id 0403:6001: "
            "an FTDI chip, as on older Arduino Nanos and many adapters)\n");
        // Without a window to ask in, a ttyS0 that refuses is taken, for its open to say why.
        row("ttyS0 busy, none", TtyS0::Busy, {NoUart}, "%1",
            "zerbo: COM1 is %1 (device or resource busy, and no USB serial adapter)\n");
    }
    void standardErrorSaysWhich() {
        QFETCH(TtyS0, ttyS0);
        QFETCH(QList<PortDescription>, present);
        QFETCH(QString, device);
        QFETCH(QString, says);
        PtyPair pty;
        const QString path = ttyS0 == TtyS0::Missing ? "/nonexistent/ttyS0" : pty.slavePath();
        const LockFile lock(path);
        if (ttyS0 == TtyS0::Busy)
            QVERIFY(lock.hold());
        std::optional<Com1> found;
        const QString said = standardErrorOf([&] {
            found = findCom1Device({}, WhenNotFound::Report, {path, [present] { return present; }});
        });
        QCOMPARE(found.value_or(Com1()).device, device.replace("%1", path));
        QCOMPARE(said, says.replace("%1", path));
    }

    // ttyS0 opens and adapters are plugged in: the window lists them all,
    // ttyS0 first, and keeps it there as the list follows the adapters.
    void pickerOffersTheDefaultFirst() {
        PtyPair ttyS0;
        QList<PortDescription> present{Cdc, Ftdi};
        Com1Search search{ttyS0.slavePath(), [&present] { return present; }};
        search.askNoPort = [](const QString& why, bool, const QStringList&) {
            qWarning("asked: %s", qPrintable(why));
            return NoPortAnswer::End;
        };
        QStringList listed;
        onNextDialog([&](QDialog& dialog) {
            auto* picker = qobject_cast<PortPicker*>(&dialog);
            if (!picker)
                return dialog.reject();
            present = {Ftdi};
            picker->refresh();
            for (int row = 0; row < picker->list()->count(); ++row)
                listed << picker->list()->item(row)->data(Qt::UserRole).toString();
            click(*picker, 0);
            picker->use()->click();
        });
        std::optional<Com1> found;
        const QString said =
            standardErrorOf([&] { found = findCom1Device({}, WhenNotFound::Ask, search); });
        QCOMPARE(listed, QStringList({ttyS0.slavePath(), Ftdi.device}));
        QCOMPARE(found.value_or(Com1()).device, ttyS0.slavePath());
        QCOMPARE(said, QStringLiteral("zerbo: COM1 is %1 (picked from %1 and the USB serial "
                                      "adapters)\n")
                           .arg(ttyS0.slavePath()));
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
        QCOMPARE(picker.list()->item(1)->text(),
                 "/dev/ttyUSB0 (FT232R USB UART, maker FTDI, "
                 "serial number A50285BI, USB id 0403:6001: an FTDI chip, as on older Arduino "
                 "Nanos and many adapters)");
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
        QTemporaryDir runtime; // where no virtual board runs
        program.start("env", {"-u", "DISPLAY", "QT_QPA_PLATFORM=xcb",
                              "XDG_RUNTIME_DIR=" + runtime.path(), ZERBO_BINARY, option});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
        if (option == "--list-ports") { // each port: what it is, then whether it opens
            const QRegularExpression status("^/\\S+( \\(.+\\))?: (free|busy|busy: .+|"
                                            "no permission|no UART|.+)$");
            QString devices;
            for (const QString& line : output.split('\n', Qt::SkipEmptyParts)) {
                QVERIFY2(status.match(line).hasMatch(), qPrintable(line));
                devices += line.section(QRegularExpression("[ :]"), 0, 0) + ' ';
            }
            output = devices;
        }
        QVERIFY2(option == "--help" ? output.contains(says) : output == says, qPrintable(output));
    }

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
        const LockFile lock(busyPort.slavePath());
        QList<PortDescription> present{NoUart};
        QStringList questions;
        Com1Search search{ttyS0 == TtyS0::Busy ? busyPort.slavePath() : "/nonexistent/ttyS0",
                          [&present] { return present; }};
        if (ttyS0 == TtyS0::Busy) // held by a process that runs, through its lock file
            QVERIFY(lock.hold());
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
    // board too.
    void noneAtAllWithoutAWindow() {
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

    // The zerbo.serial category, whose rules come from the child's
    // environment: silent by default; turned on, it tells in this order how
    // COM1 was chosen, that the device was lost, and why the reception ended.
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
        for (QString line :
             {"looking for COM1: no device named\n",
              "/nonexistent/zerbo-default: No such file or directory\n",
              "present: %1 (FT232R USB UART, maker FTDI, serial number A50285BI, USB id "
              "0403:6001: an FTDI chip, as on older Arduino Nanos and many adapters)\n",
              "looking for COM1: named %1\n", "COM1 is %1\n",
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
