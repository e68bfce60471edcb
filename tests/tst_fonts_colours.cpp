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

// The look the slots from..to-1 share, or the first slot that differs.
QString slotsLook(const auto& fields, int from = 0, int to = FrmAscii::SlotCount) {
    for (int i = from + 1; i < to; ++i)
        if (look(fields[i]) != look(fields[from]))
            return QStringLiteral("slot %1 differs: %2").arg(i).arg(look(fields[i]));
    return look(fields[from]);
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
        const QString numbers = looks(Black, face, 10),
                      signs = looks(Black, White, 14); // untouched
        QTest::newRow("no box: red changes nothing") << QStringList{"red"} << numbers << signs;
        QTest::newRow("signs: the colour shown picked again")
            << QStringList{"red", "Signs", "red"} << numbers << looks(Red, White, 14);
        QTest::newRow("signs: red after white")
            << QStringList{"Signs", "white", "red"} << numbers << looks(Red, White, 14);
        QTest::newRow("numbers: green keeps their background")
            << QStringList{"Numbers", "green"} << looks(Green, face, 10) << signs;
        QTest::newRow("both: green after red") << QStringList{"Numbers", "Signs", "red", "green"}
                                               << looks(Green, face, 10) << looks(Green, Black, 14);
        QTest::newRow("numbers: size")
            << QStringList{"Numbers", "white", "20"} << looks(White, face, 20) << signs;
        QTest::newRow("signs: size")
            << QStringList{"Signs", "white", "20"} << numbers << looks(White, Black, 20);
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

    void controlCodeNamesRestoreSlots0To32Only() {
        Program p;
        fillAndDo(p.form, {"Numbers", "Signs", "white", "20", "DejaVu Sans"});
        p.form.chkA->click();
        QVERIFY(!p.form.chkA->isChecked());
        QCOMPARE(slotsLook(p.form.txtN, 0, 33), looks(Black, White, 10));
        QCOMPARE(slotsLook(p.form.lblN, 0, 33), looks(Black, buttonFace(), 10));
        QCOMPARE(slotsLook(p.form.txtN, 33), looks(White, Black, 20, "DejaVu Sans"));
        QCOMPARE(slotsLook(p.form.lblN, 33), looks(White, buttonFace(), 20, "DejaVu Sans"));
    }
};

QTEST_MAIN(FontsColoursTest)
#include "tst_fonts_colours.moc"
