// SPDX-License-Identifier: GPL-3.0-or-later
// The windows fit the screen they start on, once per screen of tests/screens (1920x1032 plays
// 1920x1080 less a 48-pixel panel: offscreen screens have none).
#include "form/background_window.h"
#include "form/form_scale.h"
#include "form/help_window.h"
#include "form/no_port_dialog.h"
#include "form/option_button.h"
#include "form/pick_combo.h"
#include "geometry_report.h"
#include "program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>
#include <functional>

namespace {
constexpr QMargins Frame = AssumedFrame; // as the program counts before it is shown
// The main window in pixels: the controls as designed, 1058 high, and the status line's 20.
const QSize Client(1104, 1078);

// The height less 48 pixels of frame over 1078; on a portrait screen the width less 16 over 1104.
const QHash<QString, double> ScaleOf{{"1920x1200", 1.0},
                                     {"1080x1920", (1080 - 16) / 1104.0},
                                     {"1920x1032", (1032 - 48) / 1078.0},
                                     {"1366x768", (768 - 48) / 1078.0},
                                     {"1280x720", (720 - 48) / 1078.0},
                                     {"800x480", MinimumScale}};

QString screenName() {
    const QRect all = QGuiApplication::primaryScreen()->geometry();
    return QStringLiteral("%1x%2").arg(all.width()).arg(all.height());
}

QRect area() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// 0 on a screen not listed, which fails every check of the factor.
double expectedScale() {
    return ScaleOf.value(QStringLiteral("%1x%2").arg(area().width()).arg(area().height()));
}

bool near(double a, double b) {
    return qAbs(a - b) < 1e-4;
}

// Inside the area; at the smallest size, from its top-left corner on, to be moved by its title bar.
bool fitsTheArea(QRect frame, double scale) {
    if (scale > MinimumScale)
        return area().contains(frame);
    return frame.top() == area().top() && area().contains(frame.topLeft());
}

// The client area at 1050, 1335 twips where the frame fits there, else the frame moved only as
// far as needed (keptOnTheArea); the frame as assumed until the window system has framed it.
bool atDesignPosition(const QWidget& form) {
    const double perPixel = 15 / expectedScale();
    const QPoint design(qRound(1050 / perPixel), qRound(1335 / perPixel));
    const QRect outer = form.frameGeometry(), inner = form.geometry();
    const QMargins real(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QRect frame = QRect(design, form.size()).marginsAdded(outer == inner ? Frame : real);
    return area().contains(frame) ? inner.topLeft() == design
                                  : outer.topLeft() == keptInside(frame, area());
}

// What of the control is cut, if anything: it lies outside the window, its mark, caption or text.
QString cutOff(const QWidget* window, const QWidget* w) {
    if (!window->rect().contains(QRect(w->mapTo(window, QPoint()), w->size())))
        return w->objectName() + " outside the window";
    const auto* button = qobject_cast<const QAbstractButton*>(w);
    const bool check = qobject_cast<const QCheckBox*>(w),
               radio = qobject_cast<const QRadioButton*>(w);
    QStyleOptionButton option;
    option.initFrom(w);
    option.text = button ? button->text() : QString();
    const auto part = [&](QStyle::SubElement e) {
        return w->style()->subElementRect(e, &option, w);
    };
    if ((check || radio) && !w->rect().contains(part(check ? QStyle::SE_CheckBoxIndicator
                                                           : QStyle::SE_RadioButtonIndicator)))
        return w->objectName() + " mark cut";
    const QStyle::SubElement room = check   ? QStyle::SE_CheckBoxContents
                                    : radio ? QStyle::SE_RadioButtonContents
                                            : QStyle::SE_PushButtonContents;
    if (!option.text.isEmpty() &&
        part(room).width() < w->fontMetrics().horizontalAdvance(option.text))
        return w->objectName() + " caption cut";
    if ((qobject_cast<const QLineEdit*>(w) || qobject_cast<const QLabel*>(w)) &&
        w->fontMetrics().ascent() > w->height())
        return w->objectName() + " text cut";
    return {};
}
void checkControlsWhole(const QWidget& form) {
    for (const QWidget* control : form.findChildren<QWidget*>())
        if (control->isVisibleTo(&form))
            QVERIFY2(cutOff(&form, control).isEmpty(), qPrintable(cutOff(&form, control)));
}
// Opens a window of the program; what of its client area the design decides.
using Open = std::function<QWidget*(Program&)>;
enum class Designed { PlaceAndSize, Width };
} // namespace

Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(Designed)

class ScreenFitTest : public QObject {
    Q_OBJECT

private slots:
    // As designed while the frame fits; a pixel less either way shrinks it, to the smallest at
    // most.
    void scaleForTheAvailableArea_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<double>("scale");
        const QSize frame = Client.grownBy(Frame); // 1120 x 1126
        QTest::newRow("fits") << QRect(QPoint(0, 0), frame) << 1.0;
        QTest::newRow("a line short") << QRect(QPoint(0, 30), frame - QSize(0, 1)) << 0.99905;
        QTest::newRow("a column short") << QRect(QPoint(0, 0), frame - QSize(1, 0)) << 0.99909;
        QTest::newRow("just readable") << QRect(0, 0, 1280, 630) << 0.55009;
        QTest::newRow("too small") << QRect(0, 0, 1280, 629) << MinimumScale;
    }
    void scaleForTheAvailableArea() {
        QFETCH(QRect, available);
        QFETCH(double, scale);
        QVERIFY2(near(fitScale(Client, Frame, available), scale),
                 qPrintable(QString::number(fitScale(Client, Frame, available))));
    }

    // A frame is moved onto the area only as far as needed; one too large keeps its title bar.
    void keptOnTheArea_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("kept");
        QTest::newRow("touching the corner") << QRect(100, 32, 700, 736) << QPoint(100, 32);
        QTest::newRow("a pixel low") << QRect(100, 33, 700, 736) << QPoint(100, 32);
        QTest::newRow("under the top panel") << QRect(100, 31, 700, 600) << QPoint(100, 32);
        QTest::newRow("past the left") << QRect(-5, 67, 700, 600) << QPoint(0, 67);
        QTest::newRow("past the right") << QRect(1000, 67, 700, 600) << QPoint(666, 67);
        QTest::newRow("too large") << QRect(67, 67, 1400, 800) << QPoint(0, 32);
    }
    void keptOnTheArea() {
        QFETCH(QRect, frame);
        QFETCH(QPoint, kept);
        QCOMPARE(keptInside(frame, QRect(0, 32, 1366, 736)), kept);
    }

    // Inside the area from the first frame on (start-up, the table, New, the help, the backdrop);
    // every control whole, the fonts in proportion, "Set form ..." still in twips.
    void windowsFitThisScreen() {
        const double scale = expectedScale();
        QVERIFY2(near(formScale(), scale), qPrintable(QString::number(formScale())));
        Program p;
        bool checkedWaiting = false;
        onceWaiting(p, [&] {
            checkedWaiting = true;
            p.board.write(wholeTable()); // read once this check returns
            QVERIFY(p.form.isVisible());
            QVERIFY(fitsTheArea(p.form.frameGeometry(), scale));
            QVERIFY(atDesignPosition(p.form));
            checkControlsWhole(p.form);
        });
        p.zerbo.Form_Load();
        QVERIFY(checkedWaiting);
        QVERIFY(fitsTheArea(p.form.frameGeometry(), scale));
        if (scale == 1.0)
            QCOMPARE(p.form.size(), Client);
        checkControlsWhole(p.form);

        p.form.cmdNew()->click(); // the slots' own style, then the user's pick of size
        QVERIFY(fitsTheArea(p.form.frameGeometry(), scale));
        QVERIFY(near(p.form.slot(0).number->font().pointSizeF(), 10 * scale));
        QVERIFY(near(p.form.slot(0).sendButton->font().pointSizeF(), 8.25 * scale));
        p.form.chkT()->setChecked(true);
        p.form.cmbFontSize()->pick(p.form.cmbFontSize()->findText("20"));
        QVERIFY(near(p.form.slot(65).character->font().pointSizeF(), 20 * scale));
        p.form.optHelp()->click();
        const HelpWindow* help = p.zerbo.help().window();
        QVERIFY(area().contains(help->frameGeometry()));
        // Drawn smaller, the capitals stay 9 pixels high and the page scrolls to every line.
        const int capHeight = help->fontMetrics().tightBoundingRect("H").height();
        if (scale == 1.0)
            QVERIFY(near(help->font().pointSizeF(), 9.75));
        else
            QVERIFY2(capHeight >= 9, qPrintable(QString::number(capHeight)));
        QCoreApplication::processEvents(); // the scroll area lays out its page
        const QWidget* page = help->page();
        QVERIFY(page->height() >=
                help->fontMetrics().height() * int(HelpWindow::helpLines().size()));
        const QScrollArea* scroll = help->scrollArea();
        QCOMPARE(scroll->verticalScrollBar()->maximum() > 0,
                 page->height() > scroll->viewport()->height());
        QVERIFY(fitsTheArea(p.form.frameGeometry(), scale));
        p.form.cmdBackShowHide()->click();
        QCoreApplication::processEvents();
        QVERIFY(fitsTheArea(p.form.frameGeometry(), scale));
        p.form.cmdBackShowHide()->click();

        p.form.txtTop()->setText("-3500"); // brings the lowest rows onto even the smallest screen
        p.form.cmdSetPos()->click();
        QCoreApplication::processEvents();
        // Within a nudge of the window system, as in tst_typed_fields.
        QVERIFY(qAbs(p.form.frameGeometry().top() - -3500 * scale / 15) <= 3);
        QVERIFY(p.form.frameGeometry().bottom() <= area().bottom());
        p.form.cmdCenter()->click();
        QCoreApplication::processEvents();
        const QPoint off = p.form.frameGeometry().center() - p.form.screen()->geometry().center();
        QVERIFY(qAbs(off.x()) <= 3 && qAbs(off.y()) <= 3);
    }

    // Each window's place and client size on the design screen and one drawn smaller (by 984 /
    // 1078): the help at 1000, 2000 twips, 17415 x 8880 large, the backdrop the whole screen, the
    // no-port dialog 480 pixels wide; its colours where nothing is drawn on it (the backdrop's
    // grey runs from 250 at the top to black: half way, 125) and of its text.
    void windows_data() {
        QTest::addColumn<Open>("open");
        QTest::addColumn<Designed>("designed");
        QTest::addColumn<QRect>("client");
        QTest::addColumn<QPoint>("blank");
        QTest::addColumn<QColor>("behind");
        QTest::addColumn<QColor>("text");
        const Open main = [](Program& p) -> QWidget* { return &p.form; };
        const Open help = [](Program& p) -> QWidget* {
            p.form.optHelp()->click();
            return p.zerbo.help().window();
        };
        const Open backdrop = [](Program& p) -> QWidget* {
            p.form.cmdBackShowHide()->click();
            p.zerbo.background().window()->Form_Activate(); // the picture fitted to it
            return p.zerbo.background().window();
        };
        const Open noPort = [](Program& p) -> QWidget* {
            auto* dialog = new NoPortDialog("No serial port was found.", true, {}, &p.form);
            dialog->show();
            return dialog;
        };
        const QPalette system = QApplication::palette();
        const QColor face = system.color(QPalette::Button),
                     ink = system.color(QPalette::WindowText);
        const QColor peach(255, 224, 192), grey(125, 125, 125);
        // Rows for the screen this run has; the dialog's holds on every screen.
        const auto row = [](const char* screen, const char* window, Open open, Designed designed,
                            QRect client, QPoint blank, QColor behind, QColor text) {
            if (screen == screenName() || designed == Designed::Width)
                QTest::addRow("%s %s", window, screen)
                    << open << designed << client << blank << behind << text;
        };
        row("1920x1200", "main", main, Designed::PlaceAndSize, {68, 87, 1104, 1078}, {5, 500}, face,
            Qt::black);
        row("1920x1200", "help", help, Designed::PlaceAndSize, {67, 133, 1161, 592}, {2, 2}, peach,
            Qt::black);
        row("1920x1032", "help", help, Designed::PlaceAndSize, {61, 122, 1060, 540}, {2, 2}, peach,
            Qt::black);
        row("1920x1200", "backdrop", backdrop, Designed::PlaceAndSize, {0, 0, 1920, 1200},
            {960, 600}, grey, ink);
        row("1920x1032", "backdrop", backdrop, Designed::PlaceAndSize, {0, 0, 1920, 1032},
            {960, 516}, grey, ink);
        row("every screen", "no-port dialog", noPort, Designed::Width, {0, 0, 480, 0}, {2, 2},
            system.color(QPalette::Window), ink);
    }
    void windows() {
        QFETCH(Open, open);
        QFETCH(Designed, designed);
        QFETCH(QRect, client);
        QFETCH(QPoint, blank);
        QFETCH(QColor, behind);
        QFETCH(QColor, text);
        ReadyProgram p;
        QWidget* window = open(p);
        QCOMPARE(window->width(), client.width());
        if (designed == Designed::PlaceAndSize)
            QCOMPARE(QRect(window->pos(), window->size()), client); // placed by its frame
        QCOMPARE(window->grab().toImage().pixelColor(blank), behind);
        QCOMPARE(window->palette().color(window->foregroundRole()), text);
    }

    // The real program's own report of its window, while waiting and once the table has come.
    void realProgramFitsThisScreen() {
        PtyPair board;
        QProcess program;
        program.setEnvironment(QProcess::systemEnvironment() << "ZERBO_REPORT_GEOMETRY=1");
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(ZERBO_BINARY, {"--port", board.slavePath()});
        const GeometryReport waiting = readGeometry(program, "geometry: waiting", 10000);
        board.write(wholeTable()); // so that start-up ends
        const GeometryReport started = readGeometry(program, "geometry: started", 10000);
        program.kill();
        program.waitForFinished();
        for (const GeometryReport& report : {waiting, started}) {
            QCOMPARE(report.line.split(' ').size(), 14);
            QVERIFY2(near(report.scale, expectedScale()), qPrintable(report.line));
            QCOMPARE(report.available, area());
            QVERIFY2(fitsTheArea(report.frame, expectedScale()), qPrintable(report.line));
        }
    }
};

QTEST_MAIN(ScreenFitTest)
#include "tst_screen_fit.moc"
