#include "program.h"
#include "serial/comm_control.h"
#include "serial/comm_errors.h"

#include <QTest>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// The program's end, opened before the port takes it exclusively.
struct ProgramEnd {
    explicit ProgramEnd(const QString& path)
        : fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~ProgramEnd() { ::close(fd); }
    int waiting() const {
        int count = -1;
        ::ioctl(fd, FIONREAD, &count);
        return count;
    }
    bool waitFor(int count) const { // runs no events, so the port takes nothing meanwhile
        for (int ms = 0; ms < 2000 && waiting() < count; ++ms)
            ::usleep(1000);
        return waiting() >= count;
    }
    const int fd;
};
} // namespace

class TestCommControl : public QObject {
    Q_OBJECT

private slots:
    void everyByteCrossesUnchanged() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        for (const char byte : wholeTable()) { // as the continuous send does
            port.openSequence(0);
            port.Output(QByteArray(1, byte));
            port.closePort(); // right away: must lose nothing
        }
        QCOMPARE(pty.readExactly(256), wholeTable());
    }

    // Some bytes fetched while events ran, the rest still on the line: in order, InputLen at most.
    void inputTakesEveryByteInOrder() {
        PtyPair pty;
        ProgramEnd programEnd(pty.slavePath());
        CommControl port(pty.slavePath());
        const QByteArray sent = wholeTable();
        port.openSequence(8);
        pty.write(sent.first(100));
        QVERIFY(programEnd.waitFor(100));
        QTRY_COMPARE(programEnd.waiting(), 0);
        pty.write(sent.sliced(100));
        QVERIFY(programEnd.waitFor(156));
        QByteArray received;
        while (received.size() < sent.size()) {
            const QByteArray chunk = port.Input();
            QCOMPARE(chunk.size(), qMin<qsizetype>(8, sent.size() - received.size()));
            received += chunk;
        }
        QCOMPARE(received, sent);
        QCOMPARE(port.Input(), QByteArray()); // returns at once when nothing waits
    }

    // A device missing, held or gone under a send is played in tst_faults.
    void errorsNameTheDevice() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        try {
            port.Output("x");
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), CommErrorNumber::PortNotOpen);
            QVERIFY2(e.description().contains(pty.slavePath()), qPrintable(e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
