// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/control_states.h"

#include "form/frm_ascii.h"
#include "form/option_button.h"
#include "form/option_group.h"

#include <QCheckBox>
#include <QPushButton>

namespace {
enum V : char { Off, On, Keep };

struct Row {
    V displayOptions;
    V txdEnabled, txdSelected;
    V rxdEnabled, rxdSelected;
    V openEnabled, openChecked;
    V closedEnabled, closedChecked;
    V com1, man, neu, exit, send, sendC, stopC;
    V slotButtons;
};

// One row per state, columns in the order they are written.
constexpr Row rows[] = {
    // disp  TxD en/sel  RxD en/sel  open en/val  closed en/val  Com1 Man New Exit Send SendC StopC
    // slotButtons
    /* Ready               */ {On, On, Off, On, Off, Off, Off, Off, Off, On, On, On, On, On, On, On,
                               On},
    /* ReadyAfterReception */
    {On, On, Off, On, Off, Off, Off, Off, On, On, On, On, On, On, On, On, On},
    /* Receiving           */
    {Off, On, Off, On, On, On, On, Off, Off, Off, Off, Keep, On, Off, Off, Off, Off},
    /* SendReady           */
    {Off, On, On, On, Off, On, On, Off, Off, On, On, On, On, On, On, On, On},
    // A fill or reset keeps Man disabled too: a second fill nested in it would run past slot 255.
    /* Filling             */
    {Off, Off, Off, Off, Off, Off, Off, Off, Off, Off, Off, Off, On, Off, Off, Off, Off},
    /* Resetting           */
    {Off, Off, Off, Off, Off, Off, Off, Off, Off, Off, Off, Off, On, Off, Off, Off, Off},
    /* StringSending       */
    {Off, On, On, Off, Off, On, On, Off, Off, Off, Off, Off, On, On, Off, Off, Keep},
    /* ContinuousSending   */
    {Off, On, On, Off, Off, On, On, Off, Off, Off, Off, Off, On, Off, On, On, On},
    /* StringSent          */
    {On, On, On, On, Off, Off, Off, Off, Off, On, On, On, On, On, On, On, Keep},
};

void setEnabled(QWidget* widget, V value) {
    if (value != Keep)
        widget->setEnabled(value == On);
}

void setChecked(QCheckBox* box, V value) {
    if (value != Keep)
        box->setChecked(value == On);
}

void setSelected(FrmAscii& form, OptionButton* button, V value) {
    if (value == On)
        form.options()->select(button);
    else if (value == Off)
        form.options()->unselect(button);
}
} // namespace

void enterState(FrmAscii& form, ControlState state, SlotButtons slotButtons) {
    const Row& row = rows[static_cast<int>(state)];
    for (QWidget* option : form.displayOptions())
        setEnabled(option, row.displayOptions);
    setEnabled(form.optTxD(), row.txdEnabled);
    setSelected(form, form.optTxD(), row.txdSelected);
    setEnabled(form.optRxD(), row.rxdEnabled);
    setSelected(form, form.optRxD(), row.rxdSelected);
    setEnabled(form.chkOpen(), row.openEnabled);
    setChecked(form.chkOpen(), row.openChecked);
    setEnabled(form.chkClosed(), row.closedEnabled);
    setChecked(form.chkClosed(), row.closedChecked);
    setEnabled(form.cmdCom1(), row.com1);
    setEnabled(form.cmdMan(), row.man);
    setEnabled(form.cmdNew(), row.neu);
    setEnabled(form.cmdExit(), row.exit);
    setEnabled(form.cmdSend(), row.send);
    setEnabled(form.cmdSendC(), row.sendC);
    setEnabled(form.cmdStopC(), row.stopC);
    if (slotButtons == SlotButtons::Write)
        for (const Slot& slot : form.table())
            setEnabled(slot.sendButton, row.slotButtons);
}
