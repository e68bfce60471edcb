// SPDX-License-Identifier: GPL-3.0-or-later
// The slots' characters drawn whole where the window is drawn smaller: on each smaller screen of
// tests/screens, never as designed (1920x1200), where 16 pt exceeds the 24-pixel field by design.
#include "form/form_scale.h"
#include "form/form_style.h"
#include "form/frm_ascii.h"
#include "form/slot_style.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QTest>
#include <optional>

namespace {
// The box of the pixels two drawings differ in: the ink of a text.
QRect inkBetween(const QImage& with, const QImage& without) {
    QRect box;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The text's ink in the field as shown (the test screens draw one pixel a point of the image).
QRect inkIn(QLineEdit* field) {
    const QString text = field->text();
    const QImage with = field->grab().toImage();
    field->clear();
    const QImage without = field->grab().toImage();
    field->setText(text);
    return inkBetween(with, without);
}

// The field's text's ink drawn with nothing to cut it.
QRect freeInk(const QLineEdit* field) {
    QImage blank(800, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage page = blank;
    QPainter painter(&page);
    painter.setFont(field->font());
    painter.drawText(50, 100, field->text());
    painter.end();
    return inkBetween(page, blank);
}

// The field's inside, where it cuts what does not fit.
QRect insideOf(QLineEdit* field) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, field)
                                         : 0;
    return field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
}

// The first of the capitals 192 to 221 its slot does not draw whole (in the font, if one is
// given), or nothing.
QString firstCut(FrmAscii& form, const std::optional<QFont>& font = {}) {
    for (int code = 192; code <= 221; ++code) {
        QLineEdit* field = form.slot(code).character;
        if (font)
            field->setFont(*font);
        const QRect ink = inkIn(field), inside = insideOf(field);
        const int whole = freeInk(field).height();
        if (ink.top() < inside.top() || ink.height() != whole)
            return QString::asprintf("slot %d: ink rows %d to %d of %d, inside %d to %d", code,
                                     ink.top(), ink.bottom(), whole, inside.top(), inside.bottom());
    }
    return {};
}
} // namespace

class SlotGlyphsTest : public QObject {
    Q_OBJECT

private slots:
    // The accented capitals 192 to 221 whole in each size the slots are given, and as large as
    // that allows: no ink on the first or last row of the field's inside, where the field cuts
    // what does not fit, and a quarter point more (where still below the size given) cuts one.
    void slotGlyphsWhole_data() {
        QTest::addColumn<double>("points");
        QTest::newRow("received, 14 pt") << 14.0;
        QTest::newRow("filled, 16 pt") << 16.0;
        QTest::newRow("reset, 10 pt") << 10.0;
    }
    void slotGlyphsWhole() {
        QFETCH(double, points);
        if (formScale() == 1.0)
            QFAIL("this screen shows the window as designed: run it on a smaller one");
        FrmAscii form;
        form.show();
        for (int code = 192; code <= 221; ++code) {
            ApplySlotStyle(form, code, points);
            writeSlot(form, code);
        }
        const QFont fitted = form.slot(192).character->font();
        const QString cut = firstCut(form);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        QFont larger = fitted;
        larger.setPointSizeF(fitted.pointSizeF() + 0.25);
        if (larger.pointSizeF() <= courierNewBold(points).pointSizeF())
            QVERIFY2(!firstCut(form, larger).isEmpty(),
                     qPrintable(QString::asprintf("%.2f pt would still fit", larger.pointSizeF())));
    }

    // The captions that are text fields show their whole text, first letter to last: the "A"
    // of "Asc(Mid(txtS,I,1))" was cut where the smaller font came out a pixel too wide.
    void captionsWhole() {
        FrmAscii form;
        form.show();
        const Captions& captions = form.captions();
        for (QLineEdit* caption : {captions.txtS, captions.txtTime, captions.bitRow}) {
            const int ink = inkIn(caption).width(), whole = freeInk(caption).width();
            QVERIFY2(ink == whole,
                     qPrintable(QString::asprintf("%s: %d of %d columns",
                                                  qPrintable(caption->text()), ink, whole)));
        }
    }
};

QTEST_MAIN(SlotGlyphsTest)
#include "tst_slot_glyphs.moc"
