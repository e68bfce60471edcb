// SPDX-License-Identifier: GPL-3.0-or-later
// Values as the window reads and writes them: a byte's character and a
// character's byte, and the number at the start of a typed text.
#include "base/charset.h"
#include "base/numeric_value.h"

#include <QTest>

class ValuesTest : public QObject {
    Q_OBJECT
    // Seventeen digits tell any two doubles apart: a fuzzy comparison would hide rounding faults.
    static QString exactly(double value) { return QString::number(value, 'g', 17); }

private slots:
    // The whole set: Latin-1 but for 0x80..0x9F, where the five unassigned codes keep theirs.
    void everyByteAndItsCharacter() {
        const QStringView windows = u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"
                                    u"\u0090‘’“”•–—˜™š›œ\u009DžŸ";
        QCOMPARE(windows.size(), 32);
        for (int byte = 0; byte < 256; ++byte) {
            const QChar character =
                byte >= 0x80 && byte < 0xA0 ? windows[byte - 0x80] : QChar(char16_t(byte));
            QCOMPARE(charFromByte(static_cast<unsigned char>(byte)), character);
            QCOMPARE(byteFromChar(character), byte);
        }
        // Outside the set: the two ends of the range replaced, and past Latin-1.
        for (const int unicode : {0x80, 0x9F, 0x100, 0xFFFD})
            QCOMPARE(byteFromChar(QChar(char16_t(unicode))), -1);
    }

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
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded"); // halves to even
        QTest::addColumn<qint64>("pauseMs"); // as a pause: 0 to 2147483647
        QTest::newRow("0.5") << 0.5 << 0.0 << qint64(0);
        QTest::newRow("1.5") << 1.5 << 2.0 << qint64(2);
        QTest::newRow("2.5") << 2.5 << 2.0 << qint64(2);
        QTest::newRow("-2.5") << -2.5 << -2.0 << qint64(0);
        QTest::newRow("just under 0.5") << 0.49999999999999994 << 0.0 << qint64(0);
        QTest::newRow("-inf") << -qInf() << -qInf() << qint64(0);
        QTest::newRow("2^52 - 0.5")
            << 4503599627370495.5 << 4503599627370496.0 << qint64(2147483647);
        QTest::newRow("inf") << qInf() << qInf() << qint64(2147483647);
        QTest::newRow("longest - 0.5") << 2147483646.5 << 2147483646.0 << qint64(2147483646);
        QTest::newRow("longest + 0.5") << 2147483647.5 << 2147483648.0 << qint64(2147483647);
    }
    void roundsHalvesToEvenAndBoundsPauses() {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QFETCH(qint64, pauseMs);
        QCOMPARE(exactly(roundHalfEven(value)), exactly(rounded));
        QCOMPARE(pauseMilliseconds(value), pauseMs);
    }
};

QTEST_MAIN(ValuesTest)
#include "tst_values.moc"
