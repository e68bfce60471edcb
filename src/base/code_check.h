// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// The codes sent on a line against what arrived: for the cable test (what
// came back through the wire) and for the board's table (what the board's
// codes 0 to 255 became on the way), worded alike in both.
struct CodeCheck {
    qsizetype sent = 0;
    qsizetype received = 0;
    QList<int> missing;               // codes sent that did not arrive
    QList<std::pair<int, int>> wrong; // code sent, byte that arrived for it
    QList<int> extra;                 // bytes that arrived for no code sent
    int repeats = 0;                  // extra bytes equal to a byte beside them
    bool inOrder = true;              // the bytes that stand for codes rise, extra ones apart
    // Bits every code that could show it lost (0) or gained (1), in two codes at least.
    QList<int> alwaysZero, alwaysOne;

    qsizetype intact() const { return sent - missing.size() - wrong.size(); }
    // What was sent arrived once, intact and in order, and nothing else.
    bool passed() const { return intact() == sent && extra.isEmpty() && received == sent; }
};

// The codes 0 to 255 in order: what the board's table and the cable test send.
QByteArray allCodes();

// Lines up what arrived against what was sent with the fewest changes (edit
// distance): each code sent arrived intact, wrong or not at all, and what
// fits no code is extra. So a dropped or doubled byte does not make every
// later code look wrong.
CodeCheck checkCodes(const QByteArray& sent, const QByteArray& received);

// The lines that say what went wrong: "Missing: 3, 17-19", "Wrong: 1 code"
// with the codes ("65 (01000001) came back as 67 (01000011): bit 1", the
// verb given) and the bits that differ, "Extra: 2 bytes ...", each ending in
// a line feed.
QString checkDetails(const CodeCheck& check, const QString& arrivedAs);

// One line for a status: "256 of 256 codes arrived intact and in order", or
// "255 of 256 codes arrived intact: missing 100; bit 7 always 0: check the
// wiring of TxD".
QString checkSummary(const CodeCheck& check);

// "3, 17-19, 200"
QString codeRanges(const QList<int>& codes);
