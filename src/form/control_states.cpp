// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/control_states.h"

#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <iterator>

namespace {
// What a row does to a control: turns it off or on, or keeps what it had.
enum Setting : char { Off, On, Keep };

struct ModeButton {
    Setting enabled = Off;
    Setting selected = Off;
};
constexpr ModeButton Usable{.enabled = On};
constexpr ModeButton Chosen{.enabled = On, .selected = On};

struct Indicator {
    Setting enabled = Off;
    Setting checked = Off;
};
constexpr Indicator Lit{.enabled = On, .checked = On};

struct Commands {
    Setting com1 = Off, man = Off, newTable = Off, exit = Off, send = Off, sendC = Off, stopC = Off;
};
constexpr Commands AllCommands{On, On, On, On, On, On, On};
constexpr Commands OnlyExit{.exit = On};

// Members in the order enterState() writes them; what a row leaves out is
// off. A row reads: in this state, these are on (or keep what they had).
struct Row {
    ControlState state;
    Setting displayOptions = Off;
    ModeButton txd{}, rxd{};
    Indicator open{}, closed{};
    Commands commands{};
    Setting slotButtons = Off;
};

using enum ControlState;

// clang-format off
constexpr Row rows[] = {
    {.state = Ready, .displayOptions = On, .txd = Usable, .rxd = Usable,
     .commands = AllCommands, .slotButtons = On},
    {.state = ReadyAfterReception, .displayOptions = On, .txd = Usable, .rxd = Usable,
     .closed = {.checked = On}, .commands = AllCommands, .slotButtons = On},
    {.state = Receiving, .txd = Usable, .rxd = Chosen, .open = Lit,
     .commands = {.newTable = Keep, .exit = On}},
    {.state = SendReady, .txd = Chosen, .rxd = Usable, .open = Lit,
     .commands = AllCommands, .slotButtons = On},
    // A fill or reset keeps Man disabled too: a second fill nested in it would run past slot 255.
    {.state = Filling, .commands = OnlyExit},
    {.state = Resetting, .commands = OnlyExit},
    {.state = StringSending, .txd = Chosen, .open = Lit,
     .commands = {.exit = On, .send = On}, .slotButtons = Keep},
    // A code can be picked from the table while the continuous send runs.
    {.state = ContinuousSending, .txd = Chosen, .open = Lit,
     .commands = {.exit = On, .sendC = On, .stopC = On}, .slotButtons = On},
    {.state = StringSent, .displayOptions = On, .txd = Chosen, .rxd = Usable,
     .commands = AllCommands, .slotButtons = Keep},
};
// clang-format on

constexpr bool everyStateHasItsRow() {
    if (std::size(rows) != ControlStateCount)
        return false;
    for (int i = 0; i < ControlStateCount; ++i)
        if (rows[i].state != static_cast<ControlState>(i))
            return false;
    return true;
}
static_assert(everyStateHasItsRow(), "one row per control state, in the order of the enum");

void setEnabled(QWidget* widget, Setting value) {
    if (value != Keep)
        widget->setEnabled(value == On);
}

void setChecked(QCheckBox* box, Setting value) {
    if (value != Keep)
        box->setChecked(value == On);
}

// The button's handler does not run here: what it would set, the row sets
// itself, and the events a handler would let in wait for the operation's
// next yield, so that none of them sees half a row.
void setMode(FrmAscii& form, OptionButton* button, ModeButton value) {
    setEnabled(button, value.enabled);
    const QSignalBlocker quiet(button);
    if (value.selected == On)
        form.options()->select(button);
    else if (value.selected == Off)
        form.options()->unselect(button);
}

void setIndicator(QCheckBox* box, Indicator value) {
    setEnabled(box, value.enabled);
    setChecked(box, value.checked);
}
} // namespace

void enterState(FrmAscii& form, ControlState state) {
    const Row& row = rows[static_cast<int>(state)];
    for (QWidget* option : form.displayOptions())
        setEnabled(option, row.displayOptions);
    setMode(form, form.optTxD(), row.txd);
    setMode(form, form.optRxD(), row.rxd);
    setIndicator(form.chkOpen(), row.open);
    setIndicator(form.chkClosed(), row.closed);
    const Commands& commands = row.commands;
    setEnabled(form.cmdCom1(), commands.com1);
    setEnabled(form.cmdMan(), commands.man);
    setEnabled(form.cmdNew(), commands.newTable);
    setEnabled(form.cmdExit(), commands.exit);
    setEnabled(form.cmdSend(), commands.send);
    setEnabled(form.cmdSendC(), commands.sendC);
    setEnabled(form.cmdStopC(), commands.stopC);
    for (const Slot& slot : form.table())
        setEnabled(slot.sendButton, row.slotButtons);
}
