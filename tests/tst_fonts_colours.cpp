// The font and colour lists: what each pick does to the numbers and the
// signs of the table, to the colour store, and to nothing else.
#include "app/form_style.h"
#include "app/pick_combo.h"
#include "program.h"
#include "table/slot_style.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

namespace {
const QColor Yellow{255, 255, 0};
const QColor Magenta{255, 0, 255};
const QColor Cyan{0, 255, 255};

enum Entry { EBlack, ERed, EGreen, EYellow, EBlue, EMagenta, ECyan, EWhite };

// The lists as start-up fills them, the table in the look the reception
// gives it (14 pt characters), and the two boxes as the test wants them.
void prepare(Program& p, bool numbers, bool signs) {
    p.form.cmbFontColor->addItems(
        {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"});
    for (int size = 4; size <= 20; size += 2)
        p.form.cmbFontSize->addItem(QString::number(size));
    p.form.cmbFontName->addItems({"Courier New", "DejaVu Sans", "Liberation Serif"});
    for (int i = 0; i < FrmAscii::SlotCount; ++i) {
        ApplySlotStyle(p.form, i, 14);
        writeSlot(p.form, i);
    }
    p.form.chkN->setChecked(numbers);
    p.form.chkT->setChecked(signs);
}

// Every element of the two arrays that is not a slot, in a comparable form.
QStringList outsideTheSlots(const FrmAscii& form) {
    QStringList looks;
    auto look = [](const QWidget* w) {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(textColour(w).name(), background(w).name(), w->font().toString());
    };
    for (size_t i = FrmAscii::SlotCount; i < form.txtN.size(); ++i)
        looks << look(form.txtN[i]);
    for (size_t i = FrmAscii::SlotCount; i < form.lblN.size(); ++i)
        looks << look(form.lblN[i]);
    for (const QLineEdit* bit : form.txtP)
        looks << look(bit);
    return looks;
}

// True when all 256 fields of the array satisfy the check; names the first that fails.
template <typename Fields, typename Check> bool allSlots(const Fields& fields, Check check) {
    for (int i = 0; i < FrmAscii::SlotCount; ++i) {
        if (!check(fields[i])) {
            qWarning("slot %d differs", i);
            return false;
        }
    }
    return true;
}

// Picks the entry the combo already shows, as a user does: open the list, press Enter.
void pickShownEntry(PickCombo* combo) {
    combo->showPopup();
    QTest::keyClick(combo->view(), Qt::Key_Return);
}
} // namespace

class FontsColoursTest : public QObject {
    Q_OBJECT

private slots:
    void colourPicks_data() {
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("signs");
        QTest::addColumn<QList<int>>("picks");
        QTest::addColumn<QColor>("numberText");
        QTest::addColumn<QColor>("signText");
        QTest::addColumn<QColor>("signBackground");

        QTest::newRow("neither box: red changes nothing")
            << false << false << QList<int>{ERed} << Black << Black << White;
        QTest::newRow("signs: white is white on black")
            << false << true << QList<int>{EWhite} << Black << White << Black;
        QTest::newRow("signs: red after white is red on white")
            << false << true << QList<int>{EWhite, ERed} << Black << Red << White;
        QTest::newRow("numbers: green, background kept")
            << true << false << QList<int>{EGreen} << Green << Black << White;

        // Both boxes, every entry, each after an entry with the other background.
        const QList<QColor> text{Black, Red, Green, Yellow, Blue, Magenta, Cyan, White};
        const QList<QColor> behind{White, White, Black, Black, White, White, Black, Black};
        const QStringList names{"black", "red",     "green", "yellow",
                                "blue",  "magenta", "cyan",  "white"};
        for (int entry = EBlack; entry <= EWhite; ++entry) {
            const int before = behind[entry] == White ? EWhite : EBlack;
            QTest::addRow("both: %s", qPrintable(names[entry]))
                << true << true << QList<int>{before, entry} << text[entry] << text[entry]
                << behind[entry];
        }
    }
    void colourPicks() {
        QFETCH(bool, numbers);
        QFETCH(bool, signs);
        QFETCH(QList<int>, picks);
        QFETCH(QColor, numberText);
        QFETCH(QColor, signText);
        QFETCH(QColor, signBackground);
        Program p;
        prepare(p, numbers, signs);
        const QStringList untouched = outsideTheSlots(p.form);

        for (int entry : picks)
            p.form.cmbFontColor->pick(entry);

        QVERIFY(p.form.isVisible());
        QVERIFY(allSlots(p.form.lblN, [&](const QLabel* l) {
            return textColour(l) == numberText && background(l) == buttonFace();
        }));
        QVERIFY(allSlots(p.form.txtN, [&](const QLineEdit* t) {
            return textColour(t) == signText && background(t) == signBackground;
        }));
        QCOMPARE(outsideTheSlots(p.form), untouched);
    }

    void colourStoreIsRtfDataText() {
        Program p;
        prepare(p, false, false);
        p.form.cmbFontColor->pick(EBlue);
        QCOMPARE(p.form.rtfData0->textColor(), Blue);
        p.form.cmbFontColor->pick(ECyan);
        QCOMPARE(p.form.rtfData0->textColor(), Cyan);

        // A position outside the list stores nothing; the slots get the kept colour.
        p.form.chkT->setChecked(true);
        p.zerbo.fontsColours.cmbFontColor_Click(8);
        QCOMPARE(p.form.rtfData0->textColor(), Cyan);
        QCOMPARE(textColour(p.form.txtN[200]), Cyan);
        QCOMPARE(background(p.form.txtN[200]), Black);
    }

    void fontSizePick_data() {
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("signs");
        QTest::addColumn<double>("numberSize");
        QTest::addColumn<double>("signSize");
        QTest::newRow("neither") << false << false << 10.0 << 14.0;
        QTest::newRow("numbers") << true << false << 20.0 << 14.0;
        QTest::newRow("signs") << false << true << 10.0 << 20.0;
        QTest::newRow("both") << true << true << 20.0 << 20.0;
    }
    void fontSizePick() {
        QFETCH(bool, numbers);
        QFETCH(bool, signs);
        QFETCH(double, numberSize);
        QFETCH(double, signSize);
        Program p;
        prepare(p, numbers, signs);
        p.form.cmbFontColor->pick(EWhite);
        const QStringList untouched = outsideTheSlots(p.form);

        p.form.cmbFontSize->pick(p.form.cmbFontSize->findText("20"));

        QCOMPARE(p.form.rtfData0->fontPointSize(), 20.0);
        QVERIFY(allSlots(p.form.lblN, [&](const QLabel* l) {
            return l->font().pointSizeF() == numberSize && l->font().family() == "Courier New" &&
                   l->font().bold() && textColour(l) == (numbers ? White : Black);
        }));
        QVERIFY(allSlots(p.form.txtN, [&](const QLineEdit* t) {
            return t->font().pointSizeF() == signSize && t->font().family() == "Courier New" &&
                   t->font().bold() && textColour(t) == (signs ? White : Black);
        }));
        QCOMPARE(outsideTheSlots(p.form), untouched); // the legend keeps its size
    }

    void fontNamePickChangesOnlyTheName() {
        Program p;
        prepare(p, false, true);
        const QStringList untouched = outsideTheSlots(p.form);

        p.form.cmbFontName->pick(p.form.cmbFontName->findText("DejaVu Sans"));

        QCOMPARE(p.form.rtfData0->fontFamily(), QString("DejaVu Sans"));
        QVERIFY(allSlots(p.form.txtN, [](const QLineEdit* t) {
            return t->font().family() == "DejaVu Sans" && t->font().pointSizeF() == 14.0 &&
                   t->font().bold() && textColour(t) == Black && background(t) == White;
        }));
        QVERIFY(allSlots(p.form.lblN, [](const QLabel* l) {
            return l->font().family() == "Courier New" && l->font().pointSizeF() == 10.0;
        }));
        QCOMPARE(outsideTheSlots(p.form), untouched);
    }

    void pickingTheShownEntryAppliesItAgain() {
        Program p;
        prepare(p, false, false);
        p.form.cmbFontColor->pick(ERed); // nothing checked: the table stays
        QCOMPARE(textColour(p.form.txtN[65]), Black);

        p.form.chkT->setChecked(true); // checking applies nothing by itself
        QCOMPARE(textColour(p.form.txtN[65]), Black);

        pickShownEntry(p.form.cmbFontColor);
        QCOMPARE(p.form.cmbFontColor->currentText(), QString("red"));
        QCOMPARE(textColour(p.form.txtN[65]), Red);
        QCOMPARE(background(p.form.txtN[65]), White);
    }

    void controlCodeNamesRestoreSlots0To32Only() {
        Program p;
        prepare(p, true, true);
        p.form.cmbFontColor->pick(EWhite);
        p.form.cmbFontSize->pick(p.form.cmbFontSize->findText("20"));
        p.form.cmbFontName->pick(p.form.cmbFontName->findText("DejaVu Sans"));

        p.form.chkA->click();

        QVERIFY(!p.form.chkA->isChecked());
        for (int i = 0; i < FrmAscii::SlotCount; ++i) {
            const QLineEdit* sign = p.form.txtN[i];
            const QLabel* number = p.form.lblN[i];
            if (i <= 32) {
                QCOMPARE(sign->font().family(), QString("Courier New"));
                QVERIFY(sign->font().bold() && number->font().bold());
                QCOMPARE(sign->font().pointSizeF(), 10.0);
                QCOMPARE(textColour(sign), Black);
                QCOMPARE(background(sign), White);
                QCOMPARE(number->font().family(), QString("Courier New"));
                QCOMPARE(textColour(number), Black);
                QCOMPARE(background(number), buttonFace());
            } else {
                QCOMPARE(sign->font().family(), QString("DejaVu Sans"));
                QCOMPARE(sign->font().pointSizeF(), 20.0);
                QCOMPARE(textColour(sign), White);
                QCOMPARE(background(sign), Black);
                QCOMPARE(textColour(number), White);
            }
        }
    }
};

QTEST_MAIN(FontsColoursTest)
#include "tst_fonts_colours.moc"
