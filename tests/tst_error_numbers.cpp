// SPDX-License-Identifier: GPL-3.0-or-later
// The manual page and the README document exactly ErrorTable's numbers: each one, and none the
// program cannot report; a port that will not open gets the number of its cause.
#include "base/error_numbers.h"
#include "pty_pair.h"
#include "serial/comm_errors.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {
QSet<int> numbersMatching(const QString& text, const QString& pattern) {
    QSet<int> numbers;
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& match : expression.globalMatch(text))
        numbers << match.captured(1).toInt();
    return numbers;
}

QString listed(const QSet<int>& numbers) {
    QList<int> sorted = numbers.values();
    std::sort(sorted.begin(), sorted.end());
    QStringList texts;
    for (const int number : sorted)
        texts << QString::number(number);
    return texts.join(QStringLiteral(", "));
}
} // namespace

class ErrorNumberTest : public QObject {
    Q_OBJECT

private slots:
    // file | where its list of numbers stands (empty: the whole file) | how an item begins.
    // Besides the list, "error 8010", "Run-time error 8015" and the like anywhere count.
    void documentsMatchTheTable_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("item");
        QTest::newRow("manual page") << "docs/man/zerbo.1.in"
                                     << "\n.SH ERROR NUMBERS\n"
                                     << "^\\.TP\\n\\.B (\\d+)$";
        QTest::newRow("README") << "README.md" << QString() << "^\\| (\\d+) \\|";
    }
    void documentsMatchTheTable() {
        QFETCH(QString, file);
        QFETCH(QString, section);
        QFETCH(QString, item);
        QFile source(QStringLiteral(ZERBO_SOURCE_DIR "/") + file);
        QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(file + " not read"));
        const QString text = QString::fromUtf8(source.readAll());
        const qsizetype start = text.indexOf(section);
        const QString list = text.mid(start, text.indexOf("\n.SH ", start + 1) - start);
        const QSet<int> documented =
            numbersMatching(list, item) | numbersMatching(text.toLower(), "\\berror (\\d+)\\b");
        QSet<int> table; // each number once, each with its meaning
        for (const ErrorTableRow& row : ErrorTable) {
            QVERIFY2(!table.contains(row.number), qPrintable(QString::number(row.number)));
            QVERIFY(!row.meaning.empty());
            table << row.number;
        }
        QVERIFY2(documented.contains(table),
                 qPrintable(QString("%1 leaves out %2").arg(file, listed(table - documented))));
        QVERIFY2(table.contains(documented),
                 qPrintable(QString("%1 documents %2, which the program does not report")
                                .arg(file, listed(documented - table))));
    }

    // A serial device that exists and that we may use, refused for each kind of reason.
    void openFailureNamesItsCause_data() {
        QTest::addColumn<QSerialPort::SerialPortError>("error");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("advice");
        QTest::newRow("held by another program")
            << QSerialPort::PermissionError << "Device or resource busy" << ErrorNumber::PortBusy
            << "is in use by another program. Close the program that holds";
        QTest::newRow("adapter pulled out as it opens")
            << QSerialPort::OpenError << "Input/output error" << ErrorNumber::OpenFailed
            << "could not be opened: Input/output error. The serial adapter may have been "
               "unplugged";
        QTest::newRow("any other reason")
            << QSerialPort::UnknownError << "No such device" << ErrorNumber::OpenFailed
            << "could not be opened: No such device. Check that";
    }
    void openFailureNamesItsCause() {
        QFETCH(QSerialPort::SerialPortError, error);
        QFETCH(QString, reason);
        QFETCH(int, number);
        QFETCH(QString, advice);
        const PtyPair line;
        const RuntimeError failure = CommErrors::openFailed(line.slavePath(), error, reason);
        QCOMPARE(failure.number(), number);
        QVERIFY2(failure.description().contains(advice), qPrintable(failure.description()));
    }
};

QTEST_GUILESS_MAIN(ErrorNumberTest)
#include "tst_error_numbers.moc"
