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
#include "operations/position_loop.h"
#include "operations/program_state.h"
#include "operations/single_send.h"
#include "operations/string_send.h"
#include "operations/table_reset.h"
#include "serial/comm_control.h"

#include <QObject>
#include <QPushButton>
#include <QRadioButton>

// The whole program: the main window, its serial port, the shared state and
// the operations, with each control's event wired to its handler.
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

    FrmAscii form;
    CommControl comTest;
    ProgramState state;

    Modes modes{form};
    Com1Command com1{form, comTest, state};
    ControlCodeNames controlCodeNames{form};
    LocalFill localFill{form, comTest};
    TableReset tableReset{form, state};
    SingleSend singleSend{form, comTest};
    StringSend stringSend{form, comTest};
    ContinuousSend continuousSend{form, comTest, state};
    FontsColours fontsColours{form};
    PositionLoop positionLoop{form, state};
    Placement placement{form, state, positionLoop};
    HelpControl help{form.optHelp()};
    BackgroundControl background{form.cmdBackShowHide(), &form};

private:
    void connectHandlers();
    void fillFontNames();
    void fillFontSizes();
};
