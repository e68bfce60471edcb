// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/numeric_value.h"

#include <QTest>

class NumericValueTest : public QObject {
    Q_OBJECT
    // Seventeen digits tell any two doubles apart: a fuzzy comparison would hide rounding faults.
    static QString exactly(double value) { return QString::number(value, 'g', 17); }

private slots:
    void readsLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        int n = 0;
        const auto row = [&n](double expected, const QStringList& texts) {
            for (const QString& text : texts)
                QTest::addRow("%.17g #%d", expected, ++n) << text << expected;
        };
        const QString zeros(32765, '0');
        row(0, {"abc", "-.", "--5", "&", "&H", "&O8", "\uFF11", "1e-400", "0." + zeros + "1"});
        row(1500, {" 1 500", "\t1\n5\r00\n", "+ 15 E + 2", "1500 abc"}); // blanks anywhere
        row(-0.5, {"-.5", "- . 5", "-5e-1"});
        row(65.5, {"65.5.3", "6.55E+1", "65.5e", "65.5e+", "65.5E-x", "65.5d5", "6.55e1.5"});
        row(16, {"&H10", "&h10", "& H 1 0", "&H10.5", "&H10G", "&O20", "&o20", "&O208"});
        row(-16, {"-&H10", "-&O20"});
        row(175, {"&Haf", "&HAF"}); // the hex letters' bounds, and one past each below
        row(1, {"&H1`", "&H1@", "&H1g", "&H1/", "&H1:"});
        row(18446744073709551616.0, {"&HFFFFFFFFFFFFFFFF", "&O1777777777777777777777"});
        row(qInf(),
            {"1e99999999999999999999", "&O" + QString(32765, '7'), "&H" + QString(300, 'F')});
        row(-qInf(), {"-1e400", "-" + QString(32766, '9')});
        row(42, {zeros + "42", "42\u0663", "42\u00A07", QString("42") + QChar(0) + "7"});
    }
    void readsLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(exactly(numericValue(text)), exactly(expected));
    }

    void roundsHalvesToEvenAndBoundsPauses_data() {
        QTest::addColumn<QStringList>("row"); // value, rounded halves to even, as a pause in ms
        for (const QString& row :
             QString("0.5 0 0|1.5 2 2|2.5 2 2|-2.5 -2 0|0.49999999999999994 0 0|-inf -inf 0|"
                     "4503599627370495.5 4503599627370496 2147483647|inf inf 2147483647|"
                     "2147483646.5 2147483646 2147483646|2147483647.5 2147483648 2147483647")
                 .split('|'))
            QTest::newRow(qPrintable(row)) << row.split(' ');
    }
    void roundsHalvesToEvenAndBoundsPauses() {
        QFETCH(QStringList, row);
        QCOMPARE(exactly(roundHalfEven(row[0].toDouble())), exactly(row[1].toDouble()));
        QCOMPARE(pauseMilliseconds(row[0].toDouble()), row[2].toLongLong());
    }
};

QTEST_MAIN(NumericValueTest)
#include "tst_numeric_value.moc"
