#include "table/numeric_value.h"

#include <QTest>
#include <limits>
#include <tuple>

namespace {
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr qint64 longestPause = 2147483647;

// Seventeen digits tell any two doubles apart: a fuzzy comparison would hide rounding faults.
QString exactly(double value) {
    return QString::number(value, 'g', 17);
}
} // namespace

class NumericValueTest : public QObject {
    Q_OBJECT
private slots:
    void readsLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        const auto row = [](const char* name, double expected, const QStringList& texts) {
            for (const QString& text : texts)
                QTest::addRow("%s: %s", name,
                              text.left(20).toUtf8().toPercentEncoding(" &+-.").constData())
                    << text << expected;
        };
        const QString manyZeros(32765, '0');
        row("no number", 0,
            {"abc", ".", "-.", "--5", "&", "&H", "&Hxyz", "&O8", "\uFF11", "1e-400",
             "0." + manyZeros + "1"});
        row("blanks anywhere", 1500, {" 1 500", "\t1\n5\r00\n", "+ 15 E + 2", "1500 abc"});
        row("sign and point", -0.5, {"-.5", "- . 5", "-5e-1"});
        row("decimal, exponent", 65.5,
            {"65.5.3", "655e-1", "6.55E+1", "65.5e", "65.5e+", "65.5E-x", "65.5d5", "6.55e1.5"});
        row("hexadecimal, octal", 16,
            {"&H10", "&h10", "& H 1 0", "&H10.5", "&H10G", "&O20", "&o20", "&O208"});
        row("negative hexadecimal, octal", -16, {"-&H10", "-&O20"});
        row("64 bits rounded", 18446744073709551616.0,
            {"&HFFFFFFFFFFFFFFFF", "&O1777777777777777777777"});
        row("too large", infinity,
            {"1e99999999999999999999", "&O" + QString(32765, '7'), "&H" + QString(300, 'F')});
        row("too large negative", -infinity, {"-1e400", "-" + QString(32766, '9')});
        row("stops at other characters", 42,
            {manyZeros + "42", "42\u0663", "42\u4E00", "42\u00A07", QString("42") + QChar(0) + "7",
             "42.", "+42"});
    }
    void readsLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(exactly(numericValue(text)), exactly(expected));
    }

    // value | rounded halves to even | as a pause in ms; also a value just
    // below a half, a half near 2^52 and the halves around the longest pause.
    void roundsHalvesToEvenAndBoundsPauses_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::addColumn<qint64>("pause");
        using Row = std::tuple<double, double, qint64>;
        for (const auto& [value, rounded, pause] :
             {Row{0.5, 0, 0}, Row{1.5, 2, 2}, Row{2.5, 2, 2}, Row{-2.5, -2, 0},
              Row{0.49999999999999994, 0, 0},
              Row{4503599627370495.5, 4503599627370496.0, longestPause},
              Row{2147483646.5, 2147483646, 2147483646},
              Row{2147483647.5, 2147483648.0, longestPause}, Row{infinity, infinity, longestPause},
              Row{-infinity, -infinity, 0}})
            QTest::addRow("%.17g", value) << value << rounded << pause;
    }
    void roundsHalvesToEvenAndBoundsPauses() {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QFETCH(qint64, pause);
        QCOMPARE(exactly(roundHalfEven(value)), exactly(rounded));
        QCOMPARE(pauseMilliseconds(value), pause);
    }
};

QTEST_MAIN(NumericValueTest)
#include "tst_numeric_value.moc"
