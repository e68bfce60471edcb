// SPDX-License-Identifier: GPL-3.0-or-later
// What a pick from the font and colour lists does to the numbers, the signs and the legend.
#include "form/form_style.h"
#include "form/pick_combo.h"
#include "form/slot_style.h"
#include "program.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
QString looks(const QColor& text, const QColor& behind, double size,
              const QString& family = "Courier New", bool bold = true) {
    return QStringLiteral("%1 on %2, %3 %4%5")
        .arg(text.name(), behind.name(), family, QString::number(size), bold ? " bold" : "");
}
QStringList looksFrom(const QList<const QWidget*>& fields) {
    QStringList seen;
    for (const QWidget* field : fields)
        seen << looks(textColour(field), background(field), field->font().pointSizeF(),
                      field->font().family(), field->font().bold());
    return seen;
}
// The numbers or the signs of all slots: part is &Slot::number or &Slot::character.
QStringList looksFrom(const FrmAscii& form, auto part) {
    QList<const QWidget*> fields;
    for (const Slot& slot : form.table())
        fields << slot.*part;
    return looksFrom(fields);
}
// The slots as the reception leaves them, the lists filled as at start-up.
void prepare(Program& p) {
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        ApplySlotStyle(p.form, i, 14);
    p.zerbo.fontsColours().fillColourList();
    p.form.cmbFontSize()->addItem("20");
    p.form.cmbFontName()->addItem("DejaVu Sans");
}
} // namespace

class FontsColoursTest : public QObject {
    Q_OBJECT

private slots:
    void picks_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("signs");
        const QColor face = buttonFace();
        QTest::newRow("signs: magenta after white, size; numbers untouched")
            << QStringList{"Signs", "white", "magenta", "20"} << looks(Black, face, 10)
            << looks(QColor(255, 0, 255), White, 20);
        QTest::newRow("numbers: green keeps their background, size, name; signs untouched")
            << QStringList{"Numbers", "green", "20", "DejaVu Sans"}
            << looks(Green, face, 20, "DejaVu Sans") << looks(Black, White, 14);
    }
    void picks() {
        QFETCH(QStringList, steps);
        QFETCH(QString, numbers);
        QFETCH(QString, signs);
        Program p;
        const auto legend = [&] {
            QList<const QWidget*> fields;
            for (const LegendRow& row : p.form.legend())
                fields << row.number << row.name;
            const Captions& captions = p.form.captions();
            fields << captions.txtS << captions.txtTime << captions.bitRow << captions.txtLeft
                   << captions.txtTop;
            return looksFrom(fields);
        };
        const QStringList legendBefore = legend();
        prepare(p);
        for (const QString& step : steps) { // a box checked or an entry picked, as a user does
            for (QCheckBox* box : {p.form.chkN(), p.form.chkT()})
                box->setChecked(box->isChecked() || box->text() == step);
            for (PickCombo* list :
                 {p.form.cmbFontColor(), p.form.cmbFontSize(), p.form.cmbFontName()})
                if (list->findText(step) >= 0)
                    list->pick(list->findText(step));
        }
        QCOMPARE(looksFrom(p.form, &Slot::number), QStringList(256, numbers));
        QCOMPARE(looksFrom(p.form, &Slot::character), QStringList(256, signs));
        QCOMPARE(legend(), legendBefore);
    }

    // Every entry of the colour list with "Numbers" and "Signs" checked, over
    // fields painted grey before: the numbers take only the text colour.
    void everyColour_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("behindSigns");
        QTest::newRow("black") << 0 << QColor(0, 0, 0) << QColor(255, 255, 255);
        QTest::newRow("red") << 1 << QColor(255, 0, 0) << QColor(255, 255, 255);
        QTest::newRow("green") << 2 << QColor(0, 255, 0) << QColor(0, 0, 0);
        QTest::newRow("yellow") << 3 << QColor(255, 255, 0) << QColor(0, 0, 0);
        QTest::newRow("blue") << 4 << QColor(0, 0, 255) << QColor(255, 255, 255);
        QTest::newRow("magenta") << 5 << QColor(255, 0, 255) << QColor(255, 255, 255);
        QTest::newRow("cyan") << 6 << QColor(0, 255, 255) << QColor(0, 0, 0);
        QTest::newRow("white") << 7 << QColor(255, 255, 255) << QColor(0, 0, 0);
    }
    void everyColour() {
        QFETCH(int, entry);
        QFETCH(QColor, text);
        QFETCH(QColor, behindSigns);
        Program p;
        prepare(p);
        for (int i = 0; i < FrmAscii::SlotCount; ++i) {
            setTextColour(p.form.slot(i).number, Qt::gray);
            setTextColour(p.form.slot(i).character, Qt::gray);
            setBackground(p.form.slot(i).character, Qt::gray);
        }
        p.form.chkN()->setChecked(true);
        p.form.chkT()->setChecked(true);
        p.form.cmbFontColor()->pick(entry);
        QCOMPARE(p.form.cmbFontColor()->itemText(entry), QString(QTest::currentDataTag()));
        QCOMPARE(looksFrom(p.form, &Slot::number), QStringList(256, looks(text, buttonFace(), 10)));
        QCOMPARE(looksFrom(p.form, &Slot::character),
                 QStringList(256, looks(text, behindSigns, 14)));
    }
};

QTEST_MAIN(FontsColoursTest)
#include "tst_fonts_colours.moc"
