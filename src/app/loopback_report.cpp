// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/loopback_report.h"

#include "base/code_check.h"
#include "serial/line_settings.h"

#include <QStringList>

namespace {
// What the faults found suggest, most telling first.
QStringList hints(const CodeCheck& found, const Loopback::Echo& echo) {
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
    for (int bit : found.alwaysZero)
        hints << QStringLiteral("bit %1 always 0: check the wiring of TxD").arg(bit);
    for (int bit : found.alwaysOne)
        hints << QStringLiteral("bit %1 always 1: check the wiring of TxD").arg(bit);
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

    const CodeCheck found = checkCodes(sent, back);
    report += QStringLiteral("Came back: %1 bytes for %2 codes, %3; %4 of %2 intact.\n")
                  .arg(back.size())
                  .arg(sent.size())
                  .arg(found.inOrder ? QStringLiteral("in order") : QStringLiteral("not in order"))
                  .arg(found.intact());
    report += checkDetails(found, QStringLiteral("came back as"));
    report += QStringLiteral("Time: %1 ms from the first code sent to the last byte back\n")
                  .arg(echo.elapsedMs);

    if (loopbackPassed(sent, echo))
        return report + QStringLiteral("PASSED: every code came back intact and in order.\n");
    return report +
           QStringLiteral("FAILED: %1.\n").arg(hints(found, echo).join(QStringLiteral("; ")));
}
