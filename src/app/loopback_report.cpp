// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/loopback_report.h"

#include "serial/line_settings.h"

#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

namespace {
constexpr int WrongCodesListed = 8; // the rest only counted: the bit summary says more

struct Findings {
    QList<int> missing;               // codes sent that did not come back
    QList<std::pair<int, int>> wrong; // code sent, byte that came back for it
    QList<int> extra;                 // bytes that came back for no code sent
    int repeats = 0;                  // extra bytes equal to the byte before them
};

// "1 code", "3 codes"
QString count(qsizetype n, const char* thing) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(thing)).arg(n == 1 ? "" : "s");
}

int code(const QByteArray& bytes, qsizetype index) {
    return static_cast<unsigned char>(bytes[index]);
}

// Lines up what came back against what was sent with the fewest changes (edit
// distance): each code sent came back intact, wrong or not at all, and what
// fits no code is extra. So a dropped or doubled byte does not make every
// later code look wrong.
Findings compare(const QByteArray& sent, const QByteArray& received) {
    const qsizetype n = sent.size();
    const qsizetype m = received.size();
    std::vector<int> cost(size_t((n + 1) * (m + 1)));
    const auto at = [&](qsizetype i, qsizetype j) -> int& { return cost[size_t(i * (m + 1) + j)]; };
    for (qsizetype i = 0; i <= n; ++i)
        at(i, 0) = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        at(0, j) = int(j);
    for (qsizetype i = 1; i <= n; ++i)
        for (qsizetype j = 1; j <= m; ++j)
            at(i, j) = std::min({at(i - 1, j - 1) + (sent[i - 1] != received[j - 1]),
                                 at(i - 1, j) + 1, at(i, j - 1) + 1});

    Findings found;
    for (qsizetype i = n, j = m; i > 0 || j > 0;) {
        if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + (sent[i - 1] != received[j - 1])) {
            if (sent[i - 1] != received[j - 1])
                found.wrong.prepend({code(sent, i - 1), code(received, j - 1)});
            --i, --j;
        } else if (i > 0 && at(i, j) == at(i - 1, j) + 1) {
            found.missing.prepend(code(sent, --i));
        } else {
            --j;
            found.extra.prepend(code(received, j));
            // Which of two copies counts as the extra one is the alignment's whim.
            if ((j > 0 && received[j] == received[j - 1]) ||
                (j + 1 < m && received[j] == received[j + 1]))
                ++found.repeats;
        }
    }
    return found;
}

// "3, 17-19, 200"
QString codeRanges(const QList<int>& codes) {
    QStringList ranges;
    for (qsizetype first = 0; first < codes.size();) {
        qsizetype last = first;
        while (last + 1 < codes.size() && codes[last + 1] == codes[last] + 1)
            ++last;
        ranges << (last == first ? QString::number(codes[first])
                                 : QStringLiteral("%1-%2").arg(codes[first]).arg(codes[last]));
        first = last + 1;
    }
    return ranges.join(QStringLiteral(", "));
}

// "bit 1", "bits 0 and 7", "bits 0, 3 and 7"
QString bitNames(int mask) {
    QStringList bits;
    for (int bit = 0; bit < 8; ++bit)
        if (mask & (1 << bit))
            bits << QString::number(bit);
    const QString last = bits.takeLast();
    return bits.isEmpty() ? QStringLiteral("bit %1").arg(last)
                          : QStringLiteral("bits %1 and %2").arg(bits.join(", "), last);
}

QString binary(int value) {
    return QStringLiteral("%1").arg(value, 8, 2, QChar('0'));
}

QString wrongLines(const QList<std::pair<int, int>>& wrong) {
    QString lines;
    int perBit[8] = {};
    for (qsizetype i = 0; i < wrong.size(); ++i) {
        const auto [sent, back] = wrong[i];
        for (int bit = 0; bit < 8; ++bit)
            perBit[bit] += ((sent ^ back) >> bit) & 1;
        if (i < WrongCodesListed)
            lines += QStringLiteral("  %1 (%2) came back as %3 (%4): %5\n")
                         .arg(sent)
                         .arg(binary(sent))
                         .arg(back)
                         .arg(binary(back))
                         .arg(bitNames(sent ^ back));
    }
    if (wrong.size() > WrongCodesListed)
        lines += QStringLiteral("  and %1 more\n").arg(wrong.size() - WrongCodesListed);
    QStringList counts;
    for (int bit = 7; bit >= 0; --bit)
        if (perBit[bit] > 0)
            counts << QStringLiteral("bit %1 in %2").arg(bit).arg(count(perBit[bit], "code"));
    return lines + QStringLiteral("Bits that differ: %1\n").arg(counts.join(QStringLiteral(", ")));
}
// What the faults found suggest, most telling first.
QStringList hints(const Findings& found, const Loopback::Echo& echo) {
    QStringList hints;
    // Bytes another reader took never reached the test: that first.
    if (!echo.otherReaders.isEmpty())
        hints << echo.otherReaders + QStringLiteral(", which took bytes that came back; close it "
                                                    "and test again");
    int wrongBits = 0;
    for (const auto& [sent, back] : found.wrong)
        wrongBits |= sent ^ back;
    if (wrongBits == 0x80)
        hints << QStringLiteral("only bit 7 is wrong: a device in the loop uses 7 data bits or "
                                "parity instead of 8N1");
    else if (wrongBits != 0)
        hints << QStringLiteral("wrong bits point at the wiring (a loose contact, or noise on a "
                                "long unshielded cable) or, with a device echoing in the loop, at "
                                "a baud rate other than %1")
                     .arg(BoardLine::Baud);
    if (!found.missing.isEmpty() && echo.otherReaders.isEmpty())
        hints << QStringLiteral("missing codes point at a loose contact or a device in the loop "
                                "that cannot keep up");
    if (echo.received.size() >= Loopback::MostBytes)
        hints << QStringLiteral("the echo did not stop, so the test stopped after %1 bytes: "
                                "something else sends on the line")
                     .arg(Loopback::MostBytes);
    else if (echo.endless)
        hints << QStringLiteral("the line did not fall quiet, so the test stopped after %1 s: "
                                "something else sends on it")
                     .arg(Loopback::LongestMs / 1000);
    else if (found.repeats > 0)
        hints << QStringLiteral("repeated bytes point at a device in the loop that echoes twice");
    else if (!found.extra.isEmpty() && wrongBits == 0) // else a baud rate splits bytes
        hints << QStringLiteral("bytes that were not sent point at another sender on the line");
    return hints;
}
} // namespace

QByteArray loopbackCodes() {
    QByteArray codes(256, '\0');
    for (int value = 0; value < 256; ++value)
        codes[value] = char(value);
    return codes;
}

QString loopbackReport(const QString& device, const QByteArray& sent, const Loopback::Echo& echo) {
    const QByteArray& back = echo.received;
    QString report = QStringLiteral("Cable test on %1 at %2: sent the codes 0 to 255 and read "
                                    "back what came.\n")
                         .arg(device, BoardLine::description());
    if (back.isEmpty() && !echo.otherReaders.isEmpty())
        return report + QStringLiteral("Came back: nothing that this test could read.\n"
                                       "FAILED: %1, which took what came back; close it and "
                                       "test again.\n")
                            .arg(echo.otherReaders);
    if (back.isEmpty())
        return report + QStringLiteral(
                            "Came back: nothing within %1 s.\n"
                            "FAILED: there is no wire between pins 2 (RxD) and 3 (TxD) of the "
                            "9-pin socket, or %2 is not the port with the wire. Bridge pins 2 and "
                            "3, or name the right device with --port DEVICE.\n")
                            .arg(Loopback::NothingBackMs / 1000)
                            .arg(device);

    const Findings found = compare(sent, back);
    const bool inOrder = std::is_sorted(back.begin(), back.end(), [](char a, char b) {
        return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
    });
    const qsizetype intact = sent.size() - found.missing.size() - found.wrong.size();
    report += QStringLiteral("Came back: %1 bytes for %2 codes, %3; %4 of %2 intact.\n")
                  .arg(back.size())
                  .arg(sent.size())
                  .arg(inOrder ? QStringLiteral("in order") : QStringLiteral("not in order"))
                  .arg(intact);
    report +=
        QStringLiteral("Missing: %1\n")
            .arg(found.missing.isEmpty() ? QStringLiteral("none") : codeRanges(found.missing));
    report += found.wrong.isEmpty()
                  ? QStringLiteral("Wrong: none\n")
                  : QStringLiteral("Wrong: %1\n").arg(count(found.wrong.size(), "code")) +
                        wrongLines(found.wrong);
    if (!found.extra.isEmpty())
        report += QStringLiteral("Extra: %1 that match no code sent%2\n")
                      .arg(count(found.extra.size(), "byte"))
                      .arg(found.repeats == 0
                               ? QString()
                               : QStringLiteral(", %1 of them repeats of a byte next to them")
                                     .arg(found.repeats));
    report += QStringLiteral("Time: %1 ms from the first code sent to the last byte back\n")
                  .arg(echo.elapsedMs);

    if (loopbackPassed(sent, echo))
        return report + QStringLiteral("PASSED: every code came back intact and in order.\n");
    return report +
           QStringLiteral("FAILED: %1.\n").arg(hints(found, echo).join(QStringLiteral("; ")));
}
