#include "table/numeric_value.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr qint64 longestPause = 2147483647;

// Exact comparison: fuzzy double comparison would hide rounding faults.
QByteArray describeMismatch(double actual, double expected) {
    return QByteArray::number(actual, 'g', 17) + " instead of " +
           QByteArray::number(expected, 'g', 17);
}
} // namespace

class NumericValueTest : public QObject {
    Q_OBJECT
private slots:
    void readsLeadingNumber_data();
    void readsLeadingNumber();
    void readsVeryLongDigitRuns();
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void roundingPassesNaNThrough();
    void boundsPauses_data();
    void boundsPauses();
};

void NumericValueTest::readsLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, const QString& text, double expected) {
        QTest::newRow(name) << text << expected;
    };
    row("empty", "", 0);
    row("letters", "abc", 0);
    row("minus alone", "-", 0);
    row("plus alone", "+", 0);
    row("point alone", ".", 0);
    row("sign and point", "-.", 0);
    row("two signs", "--5", 0);
    row("ampersand alone", "&", 0);
    row("hex prefix alone", "&H", 0);
    row("hex prefix, no digits", "&Hxyz", 0);
    row("octal prefix, no octal digit", "&O8", 0);
    row("integer", "42", 42);
    row("plus sign", "+7", 7);
    row("minus zero", "-0", 0);
    row("decimal", "65.5", 65.5);
    row("leading point", ".5", 0.5);
    row("negative leading point", "-.5", -0.5);
    row("trailing point", "5.", 5);
    row("blanks between digits", " 1 500", 1500);
    row("blank after sign", "- 5", -5);
    row("tabs, line feeds, returns", "\t1\n2\r3\n", 123);
    row("blanks inside exponent", "1 . 5 e - 1", 0.15);
    row("stops at letters", "12abc", 12);
    row("stops at letters after zeros", "2500abc", 2500);
    row("second point stops", "1.2.3", 1.2);
    row("exponent", "2e3", 2000);
    row("upper exponent with plus", "2E+3", 2000);
    row("negative exponent", "25e-3", 0.025);
    row("exponent without digits", "3e", 3);
    row("exponent sign without digits", "3e+", 3);
    row("exponent followed by letter", "3E-x", 3);
    row("point in exponent stops", "1e2.5", 100);
    row("D is no exponent", "12d5", 12);
    row("hex", "&HFF", 255);
    row("hex lower case", "&hff", 255);
    row("hex 32 bits unsigned", "&HFFFFFFFF", 4294967295.0);
    row("hex stops at non-hex", "&HFG", 15);
    row("hex has no fraction", "&H10.5", 16);
    row("hex with blanks", "& H 1 0", 16);
    row("negative hex", "-&H10", -16);
    row("hex 53 bits exact", "&H1FFFFFFFFFFFFF", 9007199254740991.0);
    row("hex 64 bits rounds", "&HFFFFFFFFFFFFFFFF", 18446744073709551616.0);
    row("hex overflow", "&H" + QString(300, 'F'), infinity);
    row("octal", "&o17", 15);
    row("octal 36 bits", "&O777777777777", 68719476735.0);
    row("octal 64 bits rounds", "&O1777777777777777777777", 18446744073709551616.0);
    row("octal stops at 8", "&O78", 7);
    row("too large", "1e400", infinity);
    row("too large negative", "-1e400", -infinity);
    row("too small", "1e-400", 0);
    row("huge exponent digits", "1e99999999999999999999", infinity);
    row("Arabic-Indic digit stops", QString::fromUtf8("12\u0663"), 12);
    row("full-width digit is no digit", QString::fromUtf8("\uFF11"), 0);
    row("CJK stops", QString::fromUtf8("7\u4E00"), 7);
    row("no-break space stops", QString::fromUtf8("1\u00A02"), 1);
    row("control character stops", QString("4") + QChar(0) + "2", 4);
}

void NumericValueTest::readsLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = numericValue(text);
    QVERIFY2(actual == expected, describeMismatch(actual, expected));
}

void NumericValueTest::readsVeryLongDigitRuns() {
    QCOMPARE(numericValue(QString(32767, '9')), infinity);
    QCOMPARE(numericValue("-" + QString(32766, '9')), -infinity);
    QCOMPARE(numericValue("0." + QString(32765, '0') + "1"), 0.0);
    QCOMPARE(numericValue(QString(32765, '0') + "42"), 42.0);
    QCOMPARE(numericValue("&O" + QString(32765, '7')), infinity);
}

void NumericValueTest::roundsHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("10.4999") << 10.4999 << 10.0;
    QTest::newRow("10.5001") << 10.5001 << 11.0;
    QTest::newRow("-10.6") << -10.6 << -11.0;
    QTest::newRow("just below a half") << 0.49999999999999994 << 0.0;
    QTest::newRow("half near 2^52") << 4503599627370495.5 << 4503599627370496.0;
    QTest::newRow("huge") << 1e300 << 1e300;
    QTest::newRow("+inf") << infinity << infinity;
    QTest::newRow("-inf") << -infinity << -infinity;
}

void NumericValueTest::roundsHalvesToEven() {
    QFETCH(double, value);
    QFETCH(double, expected);
    const double actual = roundHalfEven(value);
    QVERIFY2(actual == expected, describeMismatch(actual, expected));
}

void NumericValueTest::roundingPassesNaNThrough() {
    QVERIFY(std::isnan(roundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

void NumericValueTest::boundsPauses_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("zero") << 0.0 << qint64(0);
    QTest::newRow("half rounds down to even") << 0.5 << qint64(0);
    QTest::newRow("65.5") << 65.5 << qint64(66);
    QTest::newRow("negative") << -1.0 << qint64(0);
    QTest::newRow("small negative") << -0.4 << qint64(0);
    QTest::newRow("-inf") << -infinity << qint64(0);
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
    QTest::newRow("below the maximum") << 2147483646.5 << qint64(2147483646);
    QTest::newRow("the maximum") << 2147483647.0 << longestPause;
    QTest::newRow("half above the maximum") << 2147483647.5 << longestPause;
    QTest::newRow("above the maximum") << 2147483648.0 << longestPause;
    QTest::newRow("huge") << 1e300 << longestPause;
    QTest::newRow("+inf") << infinity << longestPause;
}

void NumericValueTest::boundsPauses() {
    QFETCH(double, value);
    QFETCH(qint64, expected);
    QCOMPARE(pauseMilliseconds(value), expected);
}

QTEST_MAIN(NumericValueTest)
#include "tst_numeric_value.moc"
