// The font and colour lists: what a pick does to the numbers and the signs of
// the table, with either box, both or neither checked; the legend never changes.
#include "app/form_style.h"
#include "app/pick_combo.h"
#include "program.h"
#include "table/slot_style.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
// A look as "#ff0000 on #ffffff, Courier New 14 bold".
QString looks(const QColor& text, const QColor& behind, double size,
              const QString& family = "Courier New", bool bold = true) {
    return QStringLiteral("%1 on %2, %3 %4%5")
        .arg(text.name(), behind.name(), family, QString::number(size), bold ? " bold" : "");
}
QString look(const QWidget* w) {
    const QFont font = w->font();
    return looks(textColour(w), background(w), font.pointSizeF(), font.family(), font.bold());
}

// The look all slots share, or the first slot that differs.
QString slotsLook(const auto& fields) {
    for (int i = 1; i < FrmAscii::SlotCount; ++i)
        if (look(fields[i]) != look(fields[0]))
            return QStringLiteral("slot %1 differs: %2").arg(i).arg(look(fields[i]));
    return look(fields[0]);
}

// The elements of the two arrays after the slots.
QStringList legend(const FrmAscii& form) {
    QStringList seen;
    for (size_t i = FrmAscii::SlotCount; i < form.txtN.size(); ++i)
        seen << look(form.txtN[i]) << look(form.lblN[i]);
    return seen;
}

// The lists filled and the table in the look the reception gives it (14 pt
// characters); then each step as a user takes it: a box checked or an entry picked.
void fillAndDo(FrmAscii& form, const QStringList& steps) {
    form.cmbFontColor->addItems(
        {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"});
    form.cmbFontSize->addItem("20");
    form.cmbFontName->addItem("DejaVu Sans");
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        ApplySlotStyle(form, i, 14);
    for (const QString& step : steps) {
        for (QCheckBox* box : {form.chkN, form.chkT})
            box->setChecked(box->isChecked() || box->text() == step);
        for (PickCombo* list : {form.cmbFontColor, form.cmbFontSize, form.cmbFontName})
            if (list->findText(step) >= 0)
                list->pick(list->findText(step));
    }
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
        const QStringList legendBefore = legend(p.form);
        fillAndDo(p.form, steps);
        QCOMPARE(slotsLook(p.form.lblN), numbers);
        QCOMPARE(slotsLook(p.form.txtN), signs);
        QCOMPARE(legend(p.form), legendBefore);
    }
};

QTEST_MAIN(FontsColoursTest)
#include "tst_fonts_colours.moc"
