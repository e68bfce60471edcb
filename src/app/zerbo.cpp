// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/zerbo.h"

#include "app/error_report.h"
#include "app/shutdown.h"
#include "app/zerbo_application.h"
#include "base/yield.h"
#include "form/app_icon.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/pick_combo.h"
#include "form/status_line.h"
#include "form/window_design.h"
#include "form/window_position.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPushButton>
#include <cstdio>

Zerbo::Zerbo(const QString& com1Device, QObject* parent) : QObject(parent), comTest(com1Device) {
    form_.setWindowIcon(appIcon());
    // Which device the indicators stand for, where the user looks for it.
    const QString device = QStringLiteral("COM1 is %1").arg(com1Device);
    form_.chkOpen()->setToolTip(device);
    form_.chkClosed()->setToolTip(device);
    form_.statusLine()->showCom1(com1Device);
    connectHandlers();
    // Every way out closes this port, the application's last net too.
    if (auto* application = qobject_cast<ZerboApplication*>(QCoreApplication::instance()))
        application->setPort(&comTest);
}

Zerbo::~Zerbo() {
    if (auto* application = qobject_cast<ZerboApplication*>(QCoreApplication::instance()))
        application->setPort(nullptr);
}

void Zerbo::endProgram(int exitCode) {
    Shutdown::endProgram(exitCode, &comTest);
}

void Zerbo::connectHandlers() {
    // A run-time error ends at the handler it came from: it is reported once and
    // the program ends, so nothing is ever thrown through Qt's signal dispatch.
    // Every signal wired here carries one value (checked, or the picked entry).
    const auto guarded = [this](auto handler) {
        return [this, handler](auto value) {
            try {
                handler(value);
            } catch (const std::exception& error) {
                reportError(error);
            }
        };
    };
    auto onSelected = [this, guarded](QAbstractButton* button, auto handler) {
        connect(button, &QAbstractButton::toggled, this, guarded([handler](bool on) {
                    if (on)
                        handler();
                }));
    };
    auto onClick = [this, guarded](QAbstractButton* button, auto handler) {
        connect(button, &QAbstractButton::clicked, this, guarded([handler](bool) { handler(); }));
    };

    // "Port open" follows the port: a device gone while held open unticks it at once.
    connect(&comTest, &CommControl::deviceGone, this,
            [this] { form_.chkOpen()->setChecked(false); });
    // Bytes another program took never reach a slot: standard error says who may have them.
    connect(&comTest, &CommControl::inputTakenElsewhere, this, [this] {
        const QString note = QStringLiteral("Bytes went missing: %1").arg(comTest.otherReaders());
        std::fprintf(stderr, "zerbo: %s (COM1): %s\n", qPrintable(comTest.devicePath()),
                     qPrintable(note.at(0).toLower() + note.mid(1)));
        form_.statusLine()->say(note);
    });
    connect(&form_, &FrmAscii::unloading, this, [this] { endProgram(0); });
    connect(&background_, &BackgroundControl::endRequested, this, [this] { endProgram(0); });
    onSelected(form_.optRxD(), [this] { modes.optRxD_Click(); });
    onSelected(form_.optTxD(), [this] { modes.optTxD_Click(); });
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        onSelected(form_.slot(i).sendButton, [this, i] { singleSend.optS_Click(i); });

    onClick(form_.cmdExit(), [this] { form_.close(); });
    onClick(form_.cmdCom1(), [this] { com1.cmdCom1_Click(); });
    onClick(form_.cmdMan(), [this] { localFill.cmdMan_Click(); });
    onClick(form_.cmdNew(), [this] { tableReset.cmdNew_Click(); });
    onClick(form_.cmdSend(), [this] { stringSend.cmdSend_Click(); });
    onClick(form_.cmdSendC(), [this] { continuousSend.cmdSendC_Click(); });
    onClick(form_.cmdStopC(), [this] { continuousSend.cmdStopC_Click(); });
    onClick(form_.cmdCenter(), [this] { placement_.cmdCenter_Click(); });
    onClick(form_.cmdSetPos(), [this] { placement_.cmdSetPos_Click(); });
    onClick(form_.cmdBackShowHide(), [this] { background_.cmdBackShowHide_Click(); });
    onSelected(form_.optHelp(), [this] { help_.optHelp_Click(); });
    // The focus handlers of txtLeft and txtTop are Placement's own event filter.

    // A change of value, by the user or by the program, raises the handler.
    connect(form_.chkA(), &QCheckBox::toggled, this,
            guarded([this](bool) { controlCodeNames.chkA_Click(); }));

    connect(form_.cmbFontName(), &PickCombo::picked, this,
            guarded([this](int) { fontsColours_.cmbFontName_Click(); }));
    connect(form_.cmbFontSize(), &PickCombo::picked, this,
            guarded([this](int) { fontsColours_.cmbFontSize_Click(); }));
    connect(form_.cmbFontColor(), &PickCombo::picked, this,
            guarded([this](int index) { fontsColours_.cmbFontColor_Click(index); }));
}

void Zerbo::reportError(const std::exception& error) {
    // Behind the box, the window says it too, and shows no port open that is not:
    // a state that lights "Port open" before the open failed.
    form_.statusLine()->say(runTimeErrorText(error).simplified());
    if (!comTest.PortOpen())
        form_.chkOpen()->setChecked(false);
    reportErrorAndEnd(error, &comTest);
}

void Zerbo::Form_Load() {
    fontsColours_.fillColourList();
    // The window shows, in front, just before the first colour is picked.
    form_.show();
    form_.raise();
    form_.cmbFontColor()->pick(0);

    form_.chkOpen()->setEnabled(false);
    form_.chkClosed()->setEnabled(false);
    form_.chkN()->setChecked(true);
    form_.chkT()->setChecked(true);
    form_.chkA()->setChecked(false);

    form_.options()->select(form_.optRxD());
    // Receives the table; returns when code 255 has arrived or the reception failed.
    form_.cmdCom1()->click();

    fillFontNames();
    form_.cmbFontName()->pick(0);
    fillFontSizes();
    form_.cmbFontSize()->pick(0);
    placeWindow(form_, WindowDesign::StartTwips);

    yieldToEvents();
    placement_.followWindow();
}

void Zerbo::fillFontNames() {
    // The list starts at the platform's 19th family, then wraps round.
    const QStringList families = QFontDatabase::families();
    const qsizetype count = families.size();
    QStringList ordered;
    for (qsizetype i = 18; i <= 70 && i < count; ++i)
        ordered << families[i];
    for (qsizetype i = 0; i <= 17 && i < count; ++i)
        ordered << families[i];
    for (qsizetype i = 71; i < count; ++i)
        ordered << families[i];
    form_.cmbFontName()->addItems(ordered);
}

void Zerbo::fillFontSizes() {
    for (int size = 4; size <= 20; size += 2)
        form_.cmbFontSize()->addItem(QString::number(size));
}
