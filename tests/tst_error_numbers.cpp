// SPDX-License-Identifier: GPL-3.0-or-later
// The manual page and the README document exactly the error numbers of
// ErrorTable: each one, and none that the program cannot report.
#include "base/error_numbers.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {
QString sourceText(const QString& file) {
    QFile source(QStringLiteral(ZERBO_SOURCE_DIR "/") + file);
    return source.open(QIODevice::ReadOnly) ? QString::fromUtf8(source.readAll()) : QString();
}

QSet<int> numbersMatching(const QString& text, const QString& pattern) {
    QSet<int> numbers;
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& match : expression.globalMatch(text))
        numbers << match.captured(1).toInt();
    return numbers;
}

// "error 8010", "Error 6", "Run-time error 8015" anywhere in the text.
QSet<int> mentioned(const QString& text) {
    return numbersMatching(text, QStringLiteral("\\berror (\\d+)\\b"));
}

// The items of the manual's ERROR NUMBERS section (".TP" then ".B 8002"),
// and every error number mentioned anywhere.
QSet<int> inManual(const QString& page) {
    const qsizetype start = page.indexOf(QStringLiteral("\n.SH ERROR NUMBERS\n"));
    const qsizetype end = page.indexOf(QStringLiteral("\n.SH "), start + 1);
    const QString section = page.mid(start, end - start);
    return numbersMatching(section, QStringLiteral("^\\.TP\\n\\.B (\\d+)$")) |
           mentioned(page.toLower());
}

// The rows of the README's table ("| 8002 | ...") and every mention.
QSet<int> inReadme(const QString& readme) {
    return numbersMatching(readme, QStringLiteral("^\\| (\\d+) \\|")) | mentioned(readme.toLower());
}

QSet<int> tableNumbers() {
    QSet<int> numbers;
    for (const ErrorTableRow& row : ErrorTable)
        numbers << row.number;
    return numbers;
}

QString listed(const QSet<int>& numbers) {
    QList<int> sorted = numbers.values();
    std::sort(sorted.begin(), sorted.end());
    QStringList texts;
    for (const int number : sorted)
        texts << QString::number(number);
    return texts.join(QStringLiteral(", "));
}
} // namespace

class ErrorNumberTest : public QObject {
    Q_OBJECT

private slots:
    void documentsMatchTheTable_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("manual page") << "docs/man/zerbo.1.in";
        QTest::newRow("README") << "README.md";
    }
    void documentsMatchTheTable() {
        QFETCH(QString, file);
        const QString text = sourceText(file);
        QVERIFY2(!text.isEmpty(), qPrintable(file + " not read"));
        const QSet<int> documented =
            file.endsWith(QLatin1String(".md")) ? inReadme(text) : inManual(text);
        const QSet<int> table = tableNumbers();
        QVERIFY2(documented.contains(table),
                 qPrintable(QString("%1 leaves out %2").arg(file, listed(table - documented))));
        QVERIFY2(table.contains(documented),
                 qPrintable(QString("%1 documents %2, which the program does not report")
                                .arg(file, listed(documented - table))));
    }

    // Each number once, each with its meaning.
    void tableIsSound() {
        QSet<int> seen;
        for (const ErrorTableRow& row : ErrorTable) {
            QVERIFY2(!seen.contains(row.number), qPrintable(QString::number(row.number)));
            QVERIFY(!row.meaning.empty());
            seen << row.number;
        }
    }
};

QTEST_GUILESS_MAIN(ErrorNumberTest)
#include "tst_error_numbers.moc"
