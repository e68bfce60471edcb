#include "app/runtime_error.h"
#include "pty_pair.h"
#include "serial/comm_control.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <asm/termbits.h>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray allByteValues() {
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

// Reads through the port the way a handler does: repeated Input() calls, no
// event processing in between.
QByteArray inputUntil(CommControl& port, qsizetype count, int timeoutMs = 2000) {
    QByteArray got;
    const QDeadlineTimer deadline(timeoutMs);
    while (got.size() < count && !deadline.hasExpired()) {
        got += port.Input();
        if (got.size() < count)
            ::usleep(1000);
    }
    return got;
}

// What the board end holds right now, without waiting for more.
QByteArray readNowAtMaster(const PtyPair& pty) {
    QByteArray got;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(pty.masterFd(), chunk, sizeof chunk)) > 0)
        got.append(chunk, n);
    return got;
}

// A second descriptor on the program's end of the line, opened before the
// port takes it exclusively: shows the line settings and how much waits.
class ProgramEndView {
public:
    explicit ProgramEndView(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~ProgramEndView() { ::close(fd_); }

    int waiting() const {
        int count = 0;
        ::ioctl(fd_, FIONREAD, &count);
        return count;
    }
    bool waitUntilWaiting(int count) const {
        const QDeadlineTimer deadline(2000);
        while (waiting() < count && !deadline.hasExpired())
            ::usleep(1000);
        return waiting() >= count;
    }
    termios2 settings() const {
        termios2 tio{};
        ::ioctl(fd_, TCGETS2, &tio);
        return tio;
    }

private:
    int fd_;
};

template <typename Action> int errorNumberOf(Action action, QString* description = nullptr) {
    try {
        action();
    } catch (const RuntimeError& error) {
        if (description)
            *description = error.description();
        return error.number();
    }
    return 0;
}
} // namespace

class TestCommControl : public QObject {
    Q_OBJECT

private slots:
    void bytesPassUnchangedBothWays() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        port.openSequence(0);

        port.Output(allByteValues());
        QCOMPARE(pty.readExactly(256), allByteValues());

        pty.write(allByteValues());
        QCOMPARE(inputUntil(port, 256), allByteValues());
    }

    void inputLenLimitsEachRead_data() {
        QTest::addColumn<int>("inputLen");
        QTest::addColumn<QList<int>>("readSizes");
        QTest::newRow("0 takes all") << 0 << QList<int>{20, 0};
        QTest::newRow("8 takes at most 8") << 8 << QList<int>{8, 8, 4, 0};
        QTest::newRow("more than waits") << 25 << QList<int>{20, 0};
    }
    void inputLenLimitsEachRead() {
        QFETCH(int, inputLen);
        QFETCH(QList<int>, readSizes);
        PtyPair pty;
        ProgramEndView view(pty.slavePath());
        CommControl port(pty.slavePath());
        port.openSequence(qint16(inputLen));
        const QByteArray sent("ABCDEFGHIJKLMNOPQRST");
        pty.write(sent);
        QVERIFY(view.waitUntilWaiting(sent.size()));

        QByteArray received;
        for (const int size : readSizes) {
            const QByteArray chunk = port.Input();
            QCOMPARE(chunk.size(), size);
            received += chunk;
        }
        QCOMPARE(received, sent);
    }

    void bytesFetchedWhileEventsRanComeFirst() {
        PtyPair pty;
        ProgramEndView view(pty.slavePath());
        CommControl port(pty.slavePath());
        port.openSequence(0);
        pty.write("early");
        QVERIFY(view.waitUntilWaiting(5));
        QTRY_COMPARE(view.waiting(), 0); // the port's own reader took them while events ran
        pty.write("late");
        QVERIFY(view.waitUntilWaiting(4));
        QCOMPARE(port.Input(), QByteArray("earlylate"));
    }

    void outputIsAtTheBoardWhenItReturns_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("one byte") << 1;
        QTest::newRow("all values") << 256;
        QTest::newRow("a few kilobytes") << 3000;
    }
    void outputIsAtTheBoardWhenItReturns() {
        QFETCH(int, size);
        PtyPair pty;
        CommControl port(pty.slavePath());
        port.openSequence(0);
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(char(i * 7));
        port.Output(bytes);
        QCOMPARE(readNowAtMaster(pty), bytes);
    }

    // The continuous send: open, one byte, close, for every value.
    void openWriteCloseCyclesLoseNothing() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        for (const char byte : allByteValues()) {
            port.openSequence(0);
            port.Output(QByteArray(1, byte));
            port.closePort();
        }
        QCOMPARE(pty.readExactly(256), allByteValues());
    }

    void reopenedPortStillCarriesData() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        for (int round = 0; round < 3; ++round) {
            port.PortOpen() ? port.setPortOpen(false) : void();
            port.setPortOpen(true);
            const QByteArray text = "round " + QByteArray::number(round);
            port.Output(text);
            QCOMPARE(pty.readExactly(int(text.size())), text);
            pty.write(text);
            QCOMPARE(inputUntil(port, text.size()), text);
            port.setPortOpen(false);
        }
    }

    void portOpenReportsRealChanges() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        QSignalSpy changes(&port, &CommControl::portOpenChanged);
        QVERIFY(!port.PortOpen());
        port.setPortOpen(true);
        port.setPortOpen(true);
        QVERIFY(port.PortOpen());
        port.setPortOpen(false);
        port.closePort();
        QVERIFY(!port.PortOpen());
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(0).at(0).toBool(), true);
        QCOMPARE(changes.at(1).at(0).toBool(), false);
    }

    // A pseudo-terminal keeps 8 data bits and no parity whatever it is told, so
    // the rate and the stop bits are what shows of the framing.
    void settingsChangeTheOpenLine_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<unsigned>("baud");
        QTest::addColumn<bool>("stopBitsBeyondOne");
        QTest::newRow("even, 7 data") << "9600,E,7,1" << 9600u << false;
        QTest::newRow("odd, 2 stop") << "115200,O,8,2" << 115200u << true;
        QTest::newRow("mark, 1.5 stop") << "1200,M,5,1.5" << 1200u << true;
        QTest::newRow("space, 6 data") << "4800,S,6,1" << 4800u << false;
        QTest::newRow("lower-case none") << "57600,n,8,1" << 57600u << false;
    }
    void settingsChangeTheOpenLine() {
        QFETCH(QString, settings);
        QFETCH(unsigned, baud);
        QFETCH(bool, stopBitsBeyondOne);
        PtyPair pty;
        ProgramEndView view(pty.slavePath());
        CommControl port(pty.slavePath());
        port.openSequence(0);
        port.setSettings(settings);
        QCOMPARE(port.Settings(), settings);
        QVERIFY(port.PortOpen());

        const termios2 tio = view.settings();
        QCOMPARE(tio.c_ospeed, baud);
        QCOMPARE(bool(tio.c_cflag & CSTOPB), stopBitsBeyondOne);
        QCOMPARE(unsigned(tio.c_cflag & CRTSCTS), 0u);
        QCOMPARE(unsigned(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP)), 0u);
        QCOMPARE(unsigned(tio.c_oflag & OPOST), 0u);
        port.Output("still there");
        QCOMPARE(pty.readExactly(11), QByteArray("still there"));
    }

    void invalidValuesAreRefused_data() {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("value");
        QTest::newRow("CommPort 0") << "CommPort"
                                    << "0";
        QTest::newRow("CommPort 17") << "CommPort"
                                     << "17";
        QTest::newRow("InputLen -1") << "InputLen"
                                     << "-1";
        for (const char* bad :
             {"", "38400", "38400,N,8", "38400,N,8,1,1", "fast,N,8,1", "0,N,8,1", "38400,X,8,1",
              "38400,N,4,1", "38400,N,9,1", "38400,N,8,3", "38400,N,8,1.2"})
            QTest::newRow(qPrintable(QStringLiteral("Settings \"%1\"").arg(bad)))
                << "Settings" << QString::fromLatin1(bad);
    }
    void invalidValuesAreRefused() {
        QFETCH(QString, property);
        QFETCH(QString, value);
        CommControl port(QStringLiteral("/dev/zerbo-unused"));
        QString description;
        const int number = errorNumberOf(
            [&] {
                if (property == QLatin1String("CommPort"))
                    port.setCommPort(qint16(value.toInt()));
                else if (property == QLatin1String("InputLen"))
                    port.setInputLen(qint16(value.toInt()));
                else
                    port.setSettings(value);
            },
            &description);
        QCOMPARE(number, CommErrorNumber::InvalidPropertyValue);
        QVERIFY2(description.contains(property), qPrintable(description));
        QCOMPARE(port.CommPort(), qint16(1));
        QCOMPARE(port.InputLen(), qint16(0));
        QCOMPARE(port.Settings(), QStringLiteral("9600,N,8,1"));
    }

    void devicePathFollowsCommPort() {
        CommControl port(QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(port.devicePath(), QStringLiteral("/dev/ttyUSB0"));
        port.setCommPort(3);
        QCOMPARE(port.devicePath(), QStringLiteral("/dev/ttyS2"));
    }

    void absentDeviceIsNamed() {
        const QString path = QStringLiteral("/dev/zerbo-no-such-port");
        CommControl port(path);
        QString description;
        QCOMPARE(errorNumberOf([&] { port.openSequence(0); }, &description),
                 CommErrorNumber::DeviceNotFound);
        QVERIFY2(description.contains(path) && description.contains(QLatin1String("COM1")),
                 qPrintable(description));
        QVERIFY(!port.PortOpen());
    }

    void portHeldElsewhereIsBusy() {
        PtyPair pty;
        CommControl holder(pty.slavePath());
        CommControl latecomer(pty.slavePath());
        holder.openSequence(0);
        QString description;
        QCOMPARE(errorNumberOf([&] { latecomer.openSequence(0); }, &description),
                 CommErrorNumber::PortBusy);
        QVERIFY2(description.contains(pty.slavePath()), qPrintable(description));

        holder.closePort();
        latecomer.openSequence(0);
        QVERIFY(latecomer.PortOpen());
    }

    void closedPortRefusesInputAndOutput() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        QCOMPARE(errorNumberOf([&] { port.Input(); }), CommErrorNumber::PortNotOpen);
        QCOMPARE(errorNumberOf([&] { port.Output("x"); }), CommErrorNumber::PortNotOpen);
    }

    void vanishedDeviceFailsToWriteAndRead() {
        auto pty = std::make_unique<PtyPair>();
        const QString path = pty->slavePath();
        CommControl port(path);
        port.openSequence(0);
        pty.reset(); // the board end goes away, as when an adapter is unplugged
        QString description;
        QCOMPARE(errorNumberOf([&] { port.Output("x"); }, &description),
                 CommErrorNumber::WriteFailed);
        QVERIFY2(description.contains(path), qPrintable(description));
        QCOMPARE(errorNumberOf([&] { port.Input(); }), CommErrorNumber::ReadFailed);
        port.closePort();
    }

    void forbiddenDeviceIsPermissionDenied() {
        if (::geteuid() != 0)
            QSKIP("needs root to drop to an unprivileged user in a child process");
        PtyPair pty; // the slave belongs to root with mode 0620: others may not open it
        int report[2];
        QVERIFY(::pipe(report) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(report[0]);
            int number = -2; // could not become an ordinary user
            if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
                CommControl port(pty.slavePath());
                number = errorNumberOf([&] { port.openSequence(0); });
            }
            (void)!::write(report[1], &number, sizeof number);
            ::_exit(0);
        }
        ::close(report[1]);
        int number = -1;
        QCOMPARE(::read(report[0], &number, sizeof number), ssize_t(sizeof number));
        ::close(report[0]);
        ::waitpid(child, nullptr, 0);
        if (number == -2)
            QSKIP("cannot switch to user nobody here");
        QCOMPARE(number, CommErrorNumber::PermissionDenied);
    }

    // Not an assertion: the figure shows whether continuous sending stays fast.
    void openWriteCloseCycleTime() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        QBENCHMARK {
            port.openSequence(0);
            port.Output("U");
            port.closePort();
            pty.drain();
        }
    }
};

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
