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
QStringList looksFrom(const auto& fields, size_t first) {
    QStringList seen;
    for (size_t i = first; i < fields.size(); ++i)
        seen << looks(textColour(fields[i]), background(fields[i]), fields[i]->font().pointSizeF(),
                      fields[i]->font().family(), fields[i]->font().bold());
    return seen;
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
        QTest::newRow("both: green, the entry shown picked again")
            << QStringList{"green", "Numbers", "Signs", "green"} << looks(Green, face, 10)
            << looks(Green, Black, 14);
    }
    void picks() {
        QFETCH(QStringList, steps);
        QFETCH(QString, numbers);
        QFETCH(QString, signs);
        Program p;
        const auto legend = [&] {
            return looksFrom(p.form.txtN, 256) + looksFrom(p.form.lblN, 256);
        };
        const QStringList legendBefore = legend();
        for (int i = 0; i < FrmAscii::SlotCount; ++i) // as the reception leaves it
            ApplySlotStyle(p.form, i, 14);
        p.form.cmbFontColor->addItems(
            {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"});
        p.form.cmbFontSize->addItem("20");
        p.form.cmbFontName->addItem("DejaVu Sans");
        for (const QString& step : steps) { // a box checked or an entry picked, as a user does
            for (QCheckBox* box : {p.form.chkN, p.form.chkT})
                box->setChecked(box->isChecked() || box->text() == step);
            for (PickCombo* list : {p.form.cmbFontColor, p.form.cmbFontSize, p.form.cmbFontName})
                if (list->findText(step) >= 0)
                    list->pick(list->findText(step));
        }
        QCOMPARE(looksFrom(p.form.lblN, 0).first(256), QStringList(256, numbers));
        QCOMPARE(looksFrom(p.form.txtN, 0).first(256), QStringList(256, signs));
        QCOMPARE(legend(), legendBefore);
    }
};

QTEST_MAIN(FontsColoursTest)
#include "tst_fonts_colours.moc"
