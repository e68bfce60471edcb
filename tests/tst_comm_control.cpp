#include "app/runtime_error.h"
#include "program.h"
#include "serial/comm_control.h"

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

// The error's number, and a text its description must hold.
template <typename Action> void verifyError(Action action, int number, const QString& mentioned) {
    QString error = QStringLiteral("no error");
    try {
        action();
    } catch (const RuntimeError& e) {
        error = QString::number(e.number()) + ": " + e.description();
    }
    QVERIFY2(error.startsWith(QString::number(number) + ": ") && error.contains(mentioned),
             qPrintable(error));
}
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
        port.openSequence(0);
        port.Output(wholeTable());
        QCOMPARE(pty.read(), wholeTable()); // runs no events: on the line when Output returns
    }

    // The port fetched the first bytes while events ran, the rest still wait in
    // the line: reads take them in order, at most InputLen at a time (0: all).
    void inputTakesEveryByteInOrder() {
        PtyPair pty;
        ProgramEnd programEnd(pty.slavePath());
        CommControl port(pty.slavePath());
        const QByteArray sent = wholeTable();
        for (const int inputLen : {0, 8}) {
            port.openSequence(qint16(inputLen));
            pty.write(sent.first(100));
            QVERIFY(programEnd.waitFor(100));
            QTRY_COMPARE(programEnd.waiting(), 0);
            pty.write(sent.sliced(100));
            QVERIFY(programEnd.waitFor(156));
            QByteArray received;
            while (received.size() < sent.size()) {
                const QByteArray chunk = port.Input();
                QCOMPARE(chunk.size(),
                         qMin<qsizetype>(inputLen ? inputLen : 256, sent.size() - received.size()));
                received += chunk;
            }
            QCOMPARE(received, sent);
            QCOMPARE(port.Input(), QByteArray()); // returns at once when nothing waits
        }
    }

    // A device missing, held or gone under a send is played in tst_faults.
    void errorsNameTheDevice() {
        PtyPair pty;
        CommControl port(pty.slavePath());
        for (const char* bad :
             {"38400,N,8", "fast,N,8,1", "38400,X,8,1", "38400,N,9,1", "38400,N,8,1.2"})
            verifyError([&] { port.setSettings(bad); }, CommErrorNumber::InvalidPropertyValue,
                        QStringLiteral("\"%1\"").arg(bad));
        verifyError([&] { port.Output("x"); }, CommErrorNumber::PortNotOpen, pty.slavePath());
    }
};

QTEST_GUILESS_MAIN(TestCommControl)
#include "tst_comm_control.moc"
