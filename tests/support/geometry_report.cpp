// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry_report.h"

#include <QDeadlineTimer>

namespace {
// The four numbers after the word key, as a rectangle.
QRect rectAfter(const QStringList& word, const QString& key) {
    const qsizetype at = word.indexOf(key);
    if (at < 0 || at + 4 >= word.size())
        return {};
    return QRect(word[at + 1].toInt(), word[at + 2].toInt(), word[at + 3].toInt(),
                 word[at + 4].toInt());
}

GeometryReport parsed(const QString& line, const QString& said) {
    const QStringList word = line.split(' ');
    const qsizetype scale = word.indexOf("scale");
    GeometryReport report;
    report.line = line;
    report.said = said;
    report.scale = scale >= 0 && scale + 1 < word.size() ? word[scale + 1].toDouble() : 0;
    report.frame = rectAfter(word, "frame");
    report.available = rectAfter(word, "available");
    return report;
}
} // namespace

GeometryReport readGeometry(QProcess& program, const QString& prefix, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QString said;
    do {
        while (program.canReadLine()) {
            const QString line = QString::fromLocal8Bit(program.readLine()).trimmed();
            said += line + '\n';
            if (line.startsWith(prefix))
                return parsed(line, said);
        }
    } while (program.waitForReadyRead(int(deadline.remainingTime())));
    GeometryReport none;
    none.said = said;
    return none;
}
