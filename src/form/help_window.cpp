// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/help_window.h"

#include "form/app_icon.h"
#include "form/form_scale.h"
#include "form/form_style.h"

#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr QSize clientTwips(17415, 8880);
const QColor pageColour(255, 224, 192);
// Below this the bold capitals are hard to read; drawn smaller, the help keeps it.
constexpr int ReadableCapHeight = 9;

QFont helpFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(scaledPoints(9.75));
    font.setBold(true);
    if (formScale() < 1)
        // Measured on the letter: not every font says its cap height.
        while (QFontMetrics(font).tightBoundingRect(QStringLiteral("H")).height() <
               ReadableCapHeight)
            font.setPointSizeF(font.pointSizeF() + 0.25);
    return font;
}

// The printed lines, one line height apart from the very top; drawing at a
// point never wraps.
class HelpPage : public QWidget {
public:
    explicit HelpPage(QWidget* parent) : QWidget(parent) {}

    void print(const QStringList& lines) {
        printed = lines;
        const QFontMetrics metrics(font());
        int width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        setMinimumSize(width, metrics.height() * int(lines.size()));
        update();
    }

    QStringList printed;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const QFontMetrics metrics(font());
        int top = 0;
        for (const QString& line : printed) {
            painter.drawText(0, top + metrics.ascent(), line);
            top += metrics.height();
        }
    }
};
} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("ZERBO Help"));
    setWindowIcon(appIcon());
    setFont(helpFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, pageColour);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(new HelpPage(scroll_));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);

    // At the forms' scale, or as large as the text needs where its font was kept readable; no
    // larger than the screen it was fitted to leaves inside a frame, where the page scrolls.
    QSize client = twipsRect(0, 0, clientTwips.width(), clientTwips.height()).size();
    if (formScale() < 1) {
        const QFontMetrics metrics(font());
        int width = 0;
        for (const QString& line : helpLines())
            width = std::max(width, metrics.horizontalAdvance(line));
        client = client.expandedTo(QSize(width, metrics.height() * int(helpLines().size())));
    }
    if (const QRect area = fittedArea(); !area.isEmpty())
        client = client.boundedTo(area.size().shrunkBy(AssumedFrame));
    resize(client);
}

void HelpWindow::printHelp() {
    static_cast<HelpPage*>(page())->print(helpLines());
}

const QStringList& HelpWindow::printedLines() const {
    return static_cast<const HelpPage*>(page())->printed;
}

QWidget* HelpWindow::page() const {
    return scroll_->widget();
}

const QStringList& HelpWindow::helpLines() {
    static const QStringList lines{
        QStringLiteral("     "),
        QStringLiteral("     "),
        QStringLiteral("     Dieses Programm kann mit einem Mikrocontroller ATMEGA8A-PU über die "
                       "RS232 Schnittstelle COM1 eines PC kommunizieren."),
        QStringLiteral(
            "     Zur Anpassung der Signalpegel und der Logik wird das IC MAX232 benutzt."),
        QStringLiteral("     Einstellungen von COM1: 38400,keine,1,keine"),
        QStringLiteral("     Darauf achten, dass kein anderes Programm auf COM1 zugreift!"),
        QStringLiteral("     Programm im Mikrocontroller: Brisel.hex"),
        QStringLiteral("     Bilder,Schaltpläne:   Velqor.pdf, Seiten 1 bis 5"),
        QStringLiteral("     Verbale Beschreibung: Velqor.pdf, Seite  6"),
        QStringLiteral("     Programm Listing:     Velqor.pdf, Seiten 6 bis 12"),
        QStringLiteral("     "),
        QStringLiteral("     Kabel zwischen dem MAX232 und der RS232 Buchse (COM1) am PC (bei 2m "
                       "Länge: Weder Abschirmung noch Verdrillen erforderlich):"),
        QStringLiteral("     MAX232        SUB-D 9pol."),
        QStringLiteral("     Pin 14 TxD    Pin 2 RxD"),
        QStringLiteral("     Pin 13 RxD    Pin 3 TxD"),
        QStringLiteral("     Pin 15 GND    Pin 5 GND"),
        QStringLiteral("     "),
        QStringLiteral("     Empfehlungen zur (erstmaligen) Benutzung dieses Programms:"),
        QStringLiteral("     01 Wenn erforderlich (z.B. nach Klick aufs Command Button <New>):"),
        QStringLiteral("        Option Button <RxD Receive> und dann Command Button <Com1> "
                       "anklicken. Die Check Box <Port open> muß aktiviert sein."),
        QStringLiteral(
            "     02 Taste 1 des Mikrocontrollers drücken. Die ASCII-Zeichen 000 bis 255 "
            "werden gesendet, numeriert und in die Textfelder eingelesen."),
        QStringLiteral("     03 Check Box <# 000-032 True ZERBO> anklicken. Die entsprechenden "
                       "Textfelder werden mit den Kürzeln der 'nicht druckbaren' Zeichen gefüllt."),
        QStringLiteral("     04 Option Button neben dem Textfeld 'NUL' (oben links) anklicken. Das "
                       "ZERBO-Zeichen 000 wird zum Mikrocontroller gesendet."),
        QStringLiteral("     05 Mit der Tastatur-Pfeiltaste 'nach unten' weitere Zeichen zum "
                       "Mikrocontroller senden."),
        QStringLiteral("        Die Pfeiltaste 'nach oben' funktioniert auch, wenn sich damit "
                       "ASCII-Zeichen anwählen lassen."),
        QStringLiteral(
            "        Die gesendeten Bitmuster werden sowohl hier wie auch von den LEDs am "
            "Mikrocontroller angezeigt."),
        QStringLiteral("     "),
        QStringLiteral("     06 Zur Verwendung dieses Programms ohne Anschluss an den "
                       "Mikrocontroller: Command Buttons <New> und dann <Man> anklicken."),
        QStringLiteral(
            "     07 Senden eines beliebigen Strings zum Mikrocontroller: Command Button "
            "<Send> anklicken."),
        QStringLiteral(
            "     08 Option Button eines Zeichens anklicken, Command Button <Send current "
            "sign continiously> anklicken."),
        QStringLiteral(
            "        Das Bitmuster des gewählten Zeichens wird immer wieder gesendet. Das "
            "ist praktisch für die Signaldarstellung mittels Oszilloskop."),
        QStringLiteral(
            "     09 Ins Textfeld <Time [ms] between the signs> den Wert ändern oder einen "
            "eingeben:"),
        QStringLiteral("        Der Wert gilt für die Funktionen <Send> und <Send current sign "
                       "continiously>."),
        QStringLiteral("     10 Command Button <Show Background> anklicken. Ein Doppelklick auf "
                       "diesen Background beendet das Programm."),
        QStringLiteral("     11 CheckBox <Signs> anklicken. Font-Name, -Größe und -Farbe können "
                       "gewählt werden. Das geht auch mit <Numbers>, zusammen oder einzeln."),
    };
    return lines;
}
