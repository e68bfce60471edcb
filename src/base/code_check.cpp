// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/code_check.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace {
constexpr int WrongCodesListed = 8; // the rest only counted: the bit summary says more

// "1 code", "3 codes"
QString count(qsizetype n, const char* thing) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(thing)).arg(n == 1 ? "" : "s");
}

int code(const QByteArray& bytes, qsizetype index) {
    return static_cast<unsigned char>(bytes[index]);
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

// A bit that every code able to show it lost (or gained): a wire, not noise.
void findStuckBits(CodeCheck& check, const QList<std::pair<int, int>>& pairs) {
    for (int bit = 0; bit < 8; ++bit) {
        const int mask = 1 << bit;
        int ones = 0, lost = 0, zeros = 0, gained = 0;
        for (const auto& [sent, got] : pairs) {
            if (sent & mask)
                ++ones, lost += (got & mask) == 0;
            else
                ++zeros, gained += (got & mask) != 0;
        }
        if (ones >= 2 && lost == ones)
            check.alwaysZero << bit;
        if (zeros >= 2 && gained == zeros)
            check.alwaysOne << bit;
    }
}
} // namespace

QByteArray allCodes() {
    QByteArray codes(256, '\0');
    for (int value = 0; value < 256; ++value)
        codes[value] = char(value);
    return codes;
}

CodeCheck checkCodes(const QByteArray& sent, const QByteArray& received) {
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

    CodeCheck check;
    check.sent = n;
    check.received = m;
    QList<std::pair<int, int>> pairs; // every code sent that arrived, as what
    for (qsizetype i = n, j = m; i > 0 || j > 0;) {
        if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + (sent[i - 1] != received[j - 1])) {
            pairs.prepend({code(sent, i - 1), code(received, j - 1)});
            if (sent[i - 1] != received[j - 1])
                check.wrong.prepend(pairs.constFirst());
            --i, --j;
        } else if (i > 0 && at(i, j) == at(i - 1, j) + 1) {
            check.missing.prepend(code(sent, --i));
        } else {
            --j;
            check.extra.prepend(code(received, j));
            // Which of two copies counts as the extra one is the alignment's whim.
            if ((j > 0 && received[j] == received[j - 1]) ||
                (j + 1 < m && received[j] == received[j + 1]))
                ++check.repeats;
        }
    }
    // In order: the bytes that stand for a code rise; extra bytes are counted apart.
    check.inOrder = std::is_sorted(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
    });
    findStuckBits(check, pairs);
    return check;
}

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

QString checkDetails(const CodeCheck& check, const QString& arrivedAs) {
    QString lines =
        QStringLiteral("Missing: %1\n")
            .arg(check.missing.isEmpty() ? QStringLiteral("none") : codeRanges(check.missing));
    if (check.wrong.isEmpty()) {
        lines += QStringLiteral("Wrong: none\n");
    } else {
        lines += QStringLiteral("Wrong: %1\n").arg(count(check.wrong.size(), "code"));
        int perBit[8] = {};
        for (qsizetype i = 0; i < check.wrong.size(); ++i) {
            const auto [sent, got] = check.wrong[i];
            for (int bit = 0; bit < 8; ++bit)
                perBit[bit] += ((sent ^ got) >> bit) & 1;
            if (i < WrongCodesListed)
                lines += QStringLiteral("  %1 (%2) %3 %4 (%5): %6\n")
                             .arg(sent)
                             .arg(binary(sent), arrivedAs)
                             .arg(got)
                             .arg(binary(got), bitNames(sent ^ got));
        }
        if (check.wrong.size() > WrongCodesListed)
            lines += QStringLiteral("  and %1 more\n").arg(check.wrong.size() - WrongCodesListed);
        QStringList counts;
        for (int bit = 7; bit >= 0; --bit)
            if (perBit[bit] > 0)
                counts << QStringLiteral("bit %1 in %2").arg(bit).arg(count(perBit[bit], "code"));
        lines += QStringLiteral("Bits that differ: %1\n").arg(counts.join(QStringLiteral(", ")));
    }
    if (!check.extra.isEmpty())
        lines += QStringLiteral("Extra: %1 that match no code sent%2\n")
                     .arg(count(check.extra.size(), "byte"))
                     .arg(check.repeats == 0
                              ? QString()
                              : QStringLiteral(", %1 of them repeats of a byte next to them")
                                    .arg(check.repeats));
    return lines;
}

QString checkSummary(const CodeCheck& check) {
    const QString intact =
        QStringLiteral("%1 of %2 codes arrived intact").arg(check.intact()).arg(check.sent);
    if (check.passed())
        return intact + QStringLiteral(" and in order");
    QStringList faults;
    if (!check.missing.isEmpty())
        faults << QStringLiteral("missing %1").arg(codeRanges(check.missing));
    for (int bit : check.alwaysZero)
        faults << QStringLiteral("bit %1 always 0: check the wiring of TxD").arg(bit);
    for (int bit : check.alwaysOne)
        faults << QStringLiteral("bit %1 always 1: check the wiring of TxD").arg(bit);
    if (!check.wrong.isEmpty() && check.alwaysZero.isEmpty() && check.alwaysOne.isEmpty())
        faults << QStringLiteral("%1 wrong").arg(count(check.wrong.size(), "code"));
    if (!check.extra.isEmpty())
        faults << QStringLiteral("%1 more than sent").arg(count(check.extra.size(), "byte"));
    if (!check.inOrder)
        faults << QStringLiteral("not in order");
    return intact + QStringLiteral(": ") + faults.join(QStringLiteral("; "));
}
