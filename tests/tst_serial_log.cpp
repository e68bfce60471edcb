// SPDX-License-Identifier: GPL-3.0-or-later
// The zerbo.serial category: silent by default; with
// QT_LOGGING_RULES="zerbo.serial.debug=true" standard error tells how COM1
// was chosen, that the device was lost, and why the reception ended. The
// scenario runs in a child, whose logging rules come from its environment.
#include "app/com1_device.h"
#include "app/zerbo.h"
#include "child_scenario.h"
#include "program.h"
#include "sample_ports.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

using namespace SamplePorts;

namespace {

// Child side: COM1 is found among the ports (the board's pseudo-terminal as
// the one USB adapter) and named; the reception gets ten codes, then the
// board goes away.
int playUnplugDuringReception() {
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

QString deviceOf(const QString& output) {
    const qsizetype at = output.indexOf("device ");
    return at < 0 ? QString() : output.mid(at + 7).section('\n', 0, 0);
}
} // namespace

class SerialLogTest : public QObject {
    Q_OBJECT

private slots:
    void silentByDefault() {
        qunsetenv("QT_LOGGING_RULES");
        const ChildResult child = runChild("unplug");
        QCOMPARE(child.exitCode, 0);
        QVERIFY2(!child.output.contains("zerbo.serial"), qPrintable(child.output));
        QVERIFY2(child.output.contains("went away during the reception"), qPrintable(child.output));
    }

    void turnedOnItTells() {
        qputenv("QT_LOGGING_RULES", "zerbo.serial.debug=true");
        const ChildResult child = runChild("unplug");
        qunsetenv("QT_LOGGING_RULES");
        QCOMPARE(child.exitCode, 0);
        const QString& said = child.output;
        const QString device = deviceOf(said);
        QVERIFY2(!device.isEmpty(), qPrintable(said));
        const QStringList lines{
            "zerbo.serial: looking for COM1: no device named\n",
            "zerbo.serial: /nonexistent/zerbo-default: No such file or directory\n",
            QString("zerbo.serial: present: %1 (FT232R USB UART, maker FTDI, serial number "
                    "A50285BI, USB id 0403:6001: an FTDI chip, as on older Arduino Nanos and many "
                    "adapters)\n")
                .arg(device),
            QString("zerbo.serial: looking for COM1: named %1\n").arg(device),
            QString("zerbo.serial: COM1 is %1\n").arg(device),
            QString("zerbo.serial: %1 (COM1) lost: the line hung up; the port is closed\n")
                .arg(device),
            QString("zerbo.serial: the reception ended on error 8016: Receiving on serial port "
                    "%1 (COM1) failed: Input/output error.")
                .arg(device)};
        qsizetype from = 0;
        for (const QString& line : lines) { // in this order
            const qsizetype at = said.indexOf(line, from);
            QVERIFY2(at >= 0, qPrintable(QString("%1 missing after %2 in:\n%3")
                                             .arg(line.trimmed())
                                             .arg(from)
                                             .arg(said)));
            from = at + line.size();
        }
        QCOMPARE(said.count(QString("zerbo.serial: COM1 is %1\n").arg(device)), 2);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (childScenario() == "unplug")
        return playUnplugDuringReception();
    SerialLogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_serial_log.moc"
