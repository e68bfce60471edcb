#include "view/help_control.h"
#include "view/help_window.h"

#include <QButtonGroup>
#include <QCryptographicHash>
#include <QRadioButton>
#include <QTest>

namespace {
const QPoint helpPlace(67, 133); // 1000 x 2000 twips at 15 twips per pixel

// The rows of the window that hold any dark (text) pixel: first and last.
QPair<int, int> inkedRows(const QImage& image) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}
} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void textIsExact();
    void textIsExact_data();
    void windowLooksAsDesigned();
    void eachClickTogglesAndUnselects();
    void reopensAtItsPlaceWithTheTextFromTheTop();
    void closeBoxNeedsTwoClicksToReopen();

private:
    void clickHelp() { m_optHelp->click(); }

    QWidget* m_main = nullptr;
    QRadioButton* m_optHelp = nullptr;
    HelpControl* m_control = nullptr;
    qint16 m_helpShown = 0;
};

void HelpWindowTest::init() {
    m_helpShown = 0;
    m_main = new QWidget;
    m_optHelp = new QRadioButton(QStringLiteral("Help"), m_main);
    auto* group = new QButtonGroup(m_main);
    group->addButton(m_optHelp);
    m_control = new HelpControl(m_optHelp, m_helpShown, m_main);
    connect(m_optHelp, &QAbstractButton::toggled, m_control, [this](bool on) {
        if (on)
            m_control->optHelp_Click();
    });
    m_main->show();
}

void HelpWindowTest::cleanup() {
    delete m_main;
}

void HelpWindowTest::textIsExact_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    const QString blank = QStringLiteral("     ");
    for (int line : {1, 2, 11, 17, 27})
        QTest::addRow("blank %d", line) << line << blank;
    QTest::newRow("umlaut 8") << 8
                              << QStringLiteral(
                                     "     Bilder,Schaltpläne:   Velqor.pdf, Seiten 1 bis 5");
    QTest::newRow("two blanks 9") << 9
                                  << QStringLiteral(
                                         "     Verbale Beschreibung: Velqor.pdf, Seite  6");
    QTest::newRow("continuation 33")
        << 33
        << QStringLiteral("        Der Wert gilt für die Funktionen <Send> und <Send current sign "
                          "continiously>.");
    QTest::newRow("umlauts 35") << 35
                                << QStringLiteral(
                                       "     11 CheckBox <Signs> anklicken. Font-Name, "
                                       "-Größe und -Farbe können gewählt werden. Das "
                                       "geht auch mit <Numbers>, zusammen oder einzeln.");
}

void HelpWindowTest::textIsExact() {
    QFETCH(int, line);
    QFETCH(QString, text);
    const QStringList& lines = HelpWindow::helpLines();
    QCOMPARE(lines.size(), 35);
    QCOMPARE(lines.at(line - 1), text);
    QCOMPARE(lines.at(21).size(), 144);
    for (const QString& each : lines)
        QVERIFY2(each.startsWith(QStringLiteral("     ")), qPrintable(each));
    for (int continuation : {20, 25, 26, 31, 33})
        QVERIFY(lines.at(continuation - 1).startsWith(QStringLiteral("        ")));
    // Every byte of the whole text, as UTF-8.
    const QByteArray whole = lines.join(QLatin1Char('\n')).toUtf8();
    QCOMPARE(QCryptographicHash::hash(whole, QCryptographicHash::Sha256).toHex(),
             QByteArray("8644c616f3acb09693a3689d03475d8271efaffce099587e6c710b9771ebe3f4"));
}

void HelpWindowTest::windowLooksAsDesigned() {
    HelpWindow help;
    QCOMPARE(help.objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(help.windowTitle(), QStringLiteral("ZERBO Help"));
    QCOMPARE(help.size(), QSize(1161, 592));
    QCOMPARE(help.palette().color(QPalette::Window), QColor(255, 224, 192));
    QCOMPARE(help.palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(help.font().family(), QStringLiteral("Courier New"));
    QCOMPARE(help.font().pointSizeF(), 9.75);
    QVERIFY(help.font().bold());
    const Qt::WindowFlags flags = help.windowFlags();
    QVERIFY(flags.testFlags(Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint |
                            Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::FramelessWindowHint));
    const QList<QSize> iconSizes = help.windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
}

void HelpWindowTest::eachClickTogglesAndUnselects() {
    const qint16 expectedFlags[] = {1, 0, 1, 0};
    const bool expectedVisible[] = {true, false, true, false};
    for (int click = 0; click < 4; ++click) {
        clickHelp();
        QCOMPARE(m_helpShown, expectedFlags[click]);
        QVERIFY(!m_optHelp->isChecked());
        QCOMPARE(m_control->window()->isVisible(), expectedVisible[click]);
    }
    // The group is exclusive again afterwards.
    QVERIFY(m_optHelp->group()->exclusive());
}

void HelpWindowTest::reopensAtItsPlaceWithTheTextFromTheTop() {
    clickHelp();
    HelpWindow* help = m_control->window();
    QCOMPARE(help->pos(), helpPlace);
    QCOMPARE(help->printedLines(), HelpWindow::helpLines());
    const QImage first = help->grab().toImage();
    const int lineHeight = QFontMetrics(help->font()).height();
    const auto [firstInk, lastInk] = inkedRows(first);
    // Lines 1 and 2 are blank, so the ink starts on line 3 and ends within line 35.
    QVERIFY2(firstInk >= 2 * lineHeight && firstInk < 3 * lineHeight,
             qPrintable(QString::number(firstInk)));
    QVERIFY(lastInk >= 34 * lineHeight && lastInk < 35 * lineHeight);
    QCOMPARE(first.pixelColor(first.width() - 1, first.height() - 1), QColor(255, 224, 192));

    help->move(400, 300); // the user drags it away
    clickHelp();
    clickHelp();
    QCOMPARE(help, m_control->window());
    QVERIFY(help->isVisible());
    QCOMPARE(help->pos(), helpPlace);
    QCOMPARE(help->printedLines().size(), 35);
    QCOMPARE(help->grab().toImage(), first);
}

void HelpWindowTest::closeBoxNeedsTwoClicksToReopen() {
    clickHelp();
    QVERIFY(m_control->window()->close());
    QVERIFY(!m_control->window()->isVisible());
    QCOMPARE(m_helpShown, qint16(1));

    clickHelp(); // only resets the flag
    QCOMPARE(m_helpShown, qint16(0));
    QVERIFY(!m_control->window()->isVisible());
    QVERIFY(!m_optHelp->isChecked());

    clickHelp();
    QCOMPARE(m_helpShown, qint16(1));
    QVERIFY(m_control->window()->isVisible());
    QCOMPARE(m_control->window()->pos(), helpPlace);
}

QTEST_MAIN(HelpWindowTest)
#include "tst_help_window.moc"
