// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/frm_ascii.h"
#include "operations/background_control.h"
#include "operations/com1_command.h"
#include "operations/continuous_send.h"
#include "operations/control_code_names.h"
#include "operations/fonts_colours.h"
#include "operations/help_control.h"
#include "operations/local_fill.h"
#include "operations/modes.h"
#include "operations/placement.h"
#include "operations/single_send.h"
#include "operations/string_send.h"
#include "operations/table_reset.h"
#include "serial/comm_control.h"

#include <QObject>
#include <QPushButton>
#include <QRadioButton>

// The whole program: the main window, its serial port and the operations,
// with each control's event wired to its handler.
class Zerbo : public QObject {
    Q_OBJECT
public:
    // com1Device: the device that stands for COM1.
    explicit Zerbo(const QString& com1Device, QObject* parent = nullptr);
    ~Zerbo() override;

    // Start-up, up to the point where the window follows its own position;
    // from there on the application's event loop runs everything. At start-up
    // this returns only after the reception of the table has ended.
    void Form_Load();

    // Ends the program at once, from any depth of nested handlers, closing the port.
    [[noreturn]] void endProgram(int exitCode);
    // A run-time error: in the status line and a box, then the end.
    [[noreturn]] void reportError(const std::exception& error);

    FrmAscii& form() { return form_; }
    CommControl& port() { return comTest; }
    // For the tests: the help and background windows, the colour list, the
    // position fields following the window without the whole start-up.
    HelpControl& help() { return help_; }
    BackgroundControl& background() { return background_; }
    FontsColours& fontsColours() { return fontsColours_; }
    Placement& placement() { return placement_; }

private:
    void connectHandlers();
    void fillFontNames();
    void fillFontSizes();

    FrmAscii form_;
    CommControl comTest;

    Modes modes{form_};
    ContinuousSend continuousSend{form_, comTest};
    Com1Command com1{form_, comTest, continuousSend};
    ControlCodeNames controlCodeNames{form_};
    LocalFill localFill{form_, comTest};
    TableReset tableReset{form_, continuousSend};
    SingleSend singleSend{form_, comTest};
    StringSend stringSend{form_, comTest};
    FontsColours fontsColours_{form_};
    Placement placement_{form_};
    HelpControl help_{form_.optHelp()};
    BackgroundControl background_{form_.cmdBackShowHide(), &form_};
};
