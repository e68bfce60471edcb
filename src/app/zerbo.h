#pragma once

#include "app/frm_ascii.h"
#include "app/modes.h"
#include "app/position_loop.h"
#include "app/program_state.h"
#include "send/continuous_send.h"
#include "send/single_send.h"
#include "send/string_send.h"
#include "serial/comm_control.h"
#include "serial/reception.h"
#include "table/control_code_names.h"
#include "table/local_fill.h"
#include "table/table_reset.h"
#include "view/background_control.h"
#include "view/fonts_colours.h"
#include "view/help_control.h"
#include "view/placement.h"

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
    HelpControl help{form.optHelp, state.HelpShown};
    BackgroundControl background{form.cmdBackShowHide, &form, state.BackgroundShown};

private:
    void connectHandlers();
    void fillFontNames();
    void fillFontSizes();
};
