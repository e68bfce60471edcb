#include "base/charset.h"

#include <QTest>

class CharsetTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips() {
        for (int byte = 0; byte < 256; ++byte)
            QCOMPARE(byteFromChar(charFromByte(static_cast<unsigned char>(byte))), byte);
    }

    // Two plain codes, printable ones from 128 to 159, the five unassigned ones,
    // then characters outside the set.
    void bytesAndTheirCharacters() {
        const QByteArray bytes("\x09\xE9\x80\x85\x8A\x97\x9F\x81\x8D\x8F\x90\x9D");
        const QStringView characters =
            u"\t\u00E9\u20AC\u2026\u0160\u2014\u0178\u0081\u008D\u008F\u0090\u009D";
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            QCOMPARE(charFromByte(static_cast<unsigned char>(bytes[i])), characters[i]);
            QCOMPARE(byteFromChar(characters[i]), int(static_cast<unsigned char>(bytes[i])));
        }
        for (const int unicode : {0x80, 0x9F, 0x100, 0x4E2D, 0xFFFD, 0xD83D})
            QCOMPARE(byteFromChar(QChar(char16_t(unicode))), -1); // not in the set
    }
};

QTEST_MAIN(CharsetTest)
#include "tst_charset.moc"
