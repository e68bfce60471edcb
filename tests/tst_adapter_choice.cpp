// SPDX-License-Identifier: GPL-3.0-or-later
// Finding COM1 when no device is named: the choice over the ports present
// (injected lists), the dialog that asks among several adapters, the real
// program's list of ports, and the zerbo.serial log of how COM1 was chosen.
#include "app/com1_device.h"
#include "app/zerbo.h"
#include "child_scenario.h"
#include "dialogs.h"
#include "form/port_picker.h"
#include "program.h"
#include "pty_pair.h"
#include "sample_ports.h"
#include "serial/port_choice.h"
#include "standard_error.h"

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
#include <unistd.h>

using Outcome = Com1Choice::Outcome;

using namespace SamplePorts;

namespace {
const PortDescription Cdc{"/dev/ttyACM0", {}, {}, {}, {}, {}};                    // by its name
const PortDescription Odd{"/dev/ttyXRUSB0", "XR21V1410", {}, {}, 0x04e2, 0x1410}; // by its id
const PortDescription BuiltIn{"/dev/ttyS0", {}, {}, {}, {}, {}};

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

class AdapterChoiceTest : public QObject {
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
        QTest::addColumn<QList<PortDescription>>("present");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("says");
        QTest::newRow("one") << QList{BuiltIn, Ftdi} << Ftdi.device
                             << "zerbo: /nonexistent/ttyS0: No such file or directory; using the "
                                "USB serial adapter /dev/ttyUSB0 (FT232R USB UART, maker FTDI, "
                                "serial number A50285BI, USB id 0403:6001: an FTDI chip, as on "
                                "older Arduino Nanos and many adapters) as COM1\n";
        QTest::newRow("the default opens") << QList{BuiltIn, Ftdi} << "opens"
                                           << "zerbo: COM1 is opens: (it opens)\n";
        QTest::newRow("several") << QList{Cdc, Ftdi} << QString()
                                 << "zerbo: /nonexistent/ttyS0: No such file or directory, and "
                                    "several USB serial adapters are plugged in; name one with "
                                    "--port DEVICE:\n  /dev/ttyACM0\n  /dev/ttyUSB0 (FT232R USB "
                                    "UART, maker FTDI, serial number A50285BI, USB id 0403:6001: "
                                    "an FTDI chip, as on older Arduino Nanos and many adapters)\n";
    }
    void standardErrorSaysWhich() {
        QFETCH(QList<PortDescription>, present);
        QFETCH(QString, device);
        QFETCH(QString, says);
        std::optional<Com1> found;
        PtyPair ttyS0; // the default device, when a row's device is "opens"
        const QString fallback = device == "opens" ? ttyS0.slavePath() : "/nonexistent/ttyS0";
        device.replace("opens", ttyS0.slavePath());
        says.replace("opens:", ttyS0.slavePath());
        const QString said = standardErrorOf([&] {
            found =
                findCom1Device({}, WhenNotFound::Report, {fallback, [present] { return present; }});
        });
        QCOMPARE(found.value_or(Com1()).device, device);
        QCOMPARE(said, says);
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
        QTemporaryDir runtime; // where no virtual board runs
        program.start("env", {"-u", "DISPLAY", "QT_QPA_PLATFORM=xcb",
                              "XDG_RUNTIME_DIR=" + runtime.path(), ZERBO_BINARY, option});
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
    return mainPlayingScenarios<AdapterChoiceTest>(argc, argv, playUnplugDuringReception);
}
#include "tst_adapter_choice.moc"
