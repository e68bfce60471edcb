// SPDX-License-Identifier: GPL-3.0-or-later
// How the slots look in each state, and after a pick from the font and colour lists, which
// touches only the numbers or the signs, never the legend (the windows' colours: tst_screen_fit).
#include "form/form_style.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "form/slot_style.h"
#include "program.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <numeric>

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
// The program with the board's table received; look() runs while it still waits for it.
void receive(Program& p, const std::function<void()>& look) {
    onceWaiting(p, [&] {
        look();
        p.board.write(wholeTable());
    });
    p.zerbo.Form_Load();
}
// What the user does once the table has come, or on the window shown without a board.
using Steps = void (*)(Program&);
// When a slot is looked at: while the table is awaited, after it came, or with none received.
enum class Moment { Waiting, Received, NothingReceived };
} // namespace

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(Moment)

class FontsColoursTest : public QObject {
    Q_OBJECT

private slots:
    // A slot's number and sign in each state: black bold Courier on the button face and on
    // white, the number at 10 pt (9.75 where nothing set it), the sign as large as the state
    // has it; the one sent green.
    void slotLooks_data() {
        QTest::addColumn<Moment>("moment"); // when the steps run
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QList<int>>("codes"); // the slots that look so
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("sign");
        const QColor face = QApplication::palette().color(QPalette::Button);
        const auto row = [&](const char* name, QList<int> codes, QColor behind, double size,
                             Moment moment, Steps steps, double numberSize = 10) {
            QTest::newRow(name) << moment << steps << codes << looks(Qt::black, face, numberSize)
                                << looks(Qt::black, behind, size);
        };
        QList<int> all(FrmAscii::SlotCount);
        std::iota(all.begin(), all.end(), 0);
        static const Steps fill = [](Program& p) {
            p.form.cmdNew()->click();
            p.form.txtTime()->setText("10");
            p.form.cmdMan()->click();
            QTRY_VERIFY(p.form.cmdMan()->isEnabled());
        };
        static const Steps names = [](Program& p) {
            QTest::mouseClick(p.form.chkA(), Qt::LeftButton);
        };
        const Steps namesOverAFill = [](Program& p) {
            fill(p);
            names(p);
        };
        row("waiting", {65}, Qt::white, 14, Moment::Waiting, [](Program&) {});
        row("received", {65}, Qt::white, 14, Moment::Received, [](Program&) {});
        row("filled by Man", all, Qt::white, 16, Moment::Received, fill);
        row("after New", all, Qt::white, 10, Moment::Received,
            [](Program& p) { p.form.cmdNew()->click(); });
        row("control-code names", {0, 7, 9, 13, 32}, Qt::white, 10, Moment::Received, names);
        row("control-code names over a fill", {0, 9, 13, 32}, Qt::white, 10, Moment::Received,
            namesOverAFill);
        row("beyond 32 over a fill, the names shown", {33}, Qt::white, 16, Moment::Received,
            namesOverAFill);
        row("control-code names, nothing received", {0, 9, 13, 32}, Qt::white, 10,
            Moment::NothingReceived, names);
        row("beyond 32, the names shown, nothing received", {33}, Qt::white, 9.75,
            Moment::NothingReceived, names, 9.75);
        row("sent", {65}, QColor(0, 255, 0), 14, Moment::Received, [](Program& p) {
            QTest::mouseClick(p.form.slot(65).sendButton, Qt::LeftButton);
            QTRY_COMPARE(p.form.txtO()->text(), "65");
        });
    }
    void slotLooks() {
        QFETCH(Moment, moment);
        QFETCH(Steps, steps);
        QFETCH(QList<int>, codes);
        QFETCH(QString, number);
        QFETCH(QString, sign);
        Program p;
        QStringList seen;
        const auto look = [&] {
            for (int code : codes)
                seen << looksFrom({p.form.slot(code).number, p.form.slot(code).character});
        };
        if (moment == Moment::NothingReceived)
            p.showReady();
        else
            receive(p, [&] {
                if (moment == Moment::Waiting)
                    look();
            });
        steps(p);
        if (moment != Moment::Waiting)
            look();
        QStringList expected;
        for (qsizetype i = 0; i < codes.size(); ++i)
            expected << number << sign;
        QCOMPARE(seen, expected);
    }

    // Boxes checked and entries picked in turn, as a user does; the colour list's entries over
    // slots painted grey before, so that the numbers show they take only the text colour.
    void picks_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("grey");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("signs");
        const QColor face = QApplication::palette().color(QPalette::Button);
        QTest::newRow("signs: magenta after white, size; numbers untouched")
            << QStringList{"Signs", "white", "magenta", "20"} << false << looks(Black, face, 10)
            << looks(QColor(255, 0, 255), White, 20);
        QTest::newRow("numbers: green keeps their background, size, name; signs untouched")
            << QStringList{"Numbers", "green", "20", "DejaVu Sans"} << false
            << looks(Green, face, 20, "DejaVu Sans") << looks(Black, White, 14);
        const struct {
            const char* name;
            QColor text, behindSigns;
        } colours[] = {
            {"black", {0, 0, 0}, {255, 255, 255}},  {"red", {255, 0, 0}, {255, 255, 255}},
            {"green", {0, 255, 0}, {0, 0, 0}},      {"yellow", {255, 255, 0}, {0, 0, 0}},
            {"blue", {0, 0, 255}, {255, 255, 255}}, {"magenta", {255, 0, 255}, {255, 255, 255}},
            {"cyan", {0, 255, 255}, {0, 0, 0}},     {"white", {255, 255, 255}, {0, 0, 0}}};
        for (const auto& [name, text, behind] : colours)
            QTest::newRow(name) << QStringList{"Numbers", "Signs", name} << true
                                << looks(text, face, 10) << looks(text, behind, 14);
    }
    void picks() {
        QFETCH(QStringList, steps);
        QFETCH(bool, grey);
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
        QStringList entries; // the colour list in its order
        for (int i = 0; i < p.form.cmbFontColor()->count(); ++i)
            entries << p.form.cmbFontColor()->itemText(i);
        QCOMPARE(entries, QStringList({"black", "red", "green", "yellow", "blue", "magenta", "cyan",
                                       "white"}));
        for (int i = 0; grey && i < FrmAscii::SlotCount; ++i) {
            setTextColour(p.form.slot(i).number, Qt::gray);
            setTextColour(p.form.slot(i).character, Qt::gray);
            setBackground(p.form.slot(i).character, Qt::gray);
        }
        for (const QString& step : steps) {
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
};

QTEST_MAIN(FontsColoursTest)
#include "tst_fonts_colours.moc"
