// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/charset.h"

#include <QTest>

class CharsetTest : public QObject {
    Q_OBJECT
private slots:
    // The whole set written out: Latin-1 but for 0x80..0x9F, where the five unassigned codes
    // keep their own numbers.
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
};

QTEST_MAIN(CharsetTest)
#include "tst_charset.moc"
