#include "table/charset.h"
#include "table/control_codes.h"

#include <QSet>
#include <QTest>

class CharsetTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips();
    void controlAndLatinCodesKeepTheirNumber();
    void printableWindowsCodes_data();
    void printableWindowsCodes();
    void unassignedCodesMapToThemselves();
    void charactersOutsideTheSetHaveNoByte_data();
    void charactersOutsideTheSetHaveNoByte();
    void controlCodeAbbreviationsAreDistinct();
};

void CharsetTest::everyByteRoundTrips() {
    for (int byte = 0; byte < 256; ++byte) {
        const QChar ch = charFromByte(static_cast<unsigned char>(byte));
        QCOMPARE(byteFromChar(ch), byte);
        QCOMPARE(textFromByte(static_cast<unsigned char>(byte)), QString(ch));
    }
}

void CharsetTest::controlAndLatinCodesKeepTheirNumber() {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte >= 0x80 && byte <= 0x9F)
            continue;
        QCOMPARE(charFromByte(static_cast<unsigned char>(byte)).unicode(), char16_t(byte));
    }
}

void CharsetTest::printableWindowsCodes_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("euro sign") << 0x80 << 0x20AC;
    QTest::newRow("low quote") << 0x82 << 0x201A;
    QTest::newRow("ellipsis") << 0x85 << 0x2026;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("left double quote") << 0x93 << 0x201C;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("em dash") << 0x97 << 0x2014;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
}

void CharsetTest::printableWindowsCodes() {
    QFETCH(int, byte);
    QFETCH(int, unicode);
    QCOMPARE(int(charFromByte(static_cast<unsigned char>(byte)).unicode()), unicode);
    QCOMPARE(byteFromChar(QChar(char16_t(unicode))), byte);
}

void CharsetTest::unassignedCodesMapToThemselves() {
    for (const int byte : {129, 141, 143, 144, 157}) {
        QCOMPARE(int(charFromByte(static_cast<unsigned char>(byte)).unicode()), byte);
        QCOMPARE(byteFromChar(QChar(char16_t(byte))), byte);
    }
}

void CharsetTest::charactersOutsideTheSetHaveNoByte_data() {
    QTest::addColumn<int>("unicode");
    QTest::newRow("C1 control replaced by euro") << 0x80;
    QTest::newRow("C1 control replaced by Y diaeresis") << 0x9F;
    QTest::newRow("A macron") << 0x100;
    QTest::newRow("Cyrillic Zhe") << 0x416;
    QTest::newRow("CJK") << 0x4E2D;
    QTest::newRow("replacement character") << 0xFFFD;
    QTest::newRow("high surrogate") << 0xD83D;
}

void CharsetTest::charactersOutsideTheSetHaveNoByte() {
    QFETCH(int, unicode);
    QCOMPARE(byteFromChar(QChar(char16_t(unicode))), -1);
}

// Slots 000 to 032 are told apart by these labels alone.
void CharsetTest::controlCodeAbbreviationsAreDistinct() {
    QSet<QString> seen;
    for (const QString& abbreviation : controlCodeAbbreviations()) {
        QVERIFY(!abbreviation.isEmpty());
        QVERIFY2(!seen.contains(abbreviation), qPrintable(abbreviation));
        seen.insert(abbreviation);
    }
}

QTEST_MAIN(CharsetTest)
#include "tst_charset.moc"
