// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/tool_tips.h"

#include <QHash>
#include <QWidget>

namespace {
QList<ToolTip> slotColumnTips(const QString& text) {
    QList<ToolTip> tips;
    for (int column = 0; column < 16; ++column)
        tips.append({QStringLiteral("slotColumn(%1)").arg(column), text});
    return tips;
}
} // namespace

const QList<ToolTip>& toolTips() {
    static const QList<ToolTip> tips = [] {
        QList<ToolTip> list{
            {"cmbFontName", "Picks the font of the numbers, the signs or both, as Numbers and "
                            "Signs are checked."},
            {"cmbFontSize", "Picks their size in points, from 4 to 20."},
            {"cmbFontColor", "Picks their colour; the signs get a background that keeps them "
                             "readable."},
            {"chkN", "Checked, the font, size and colour picked apply to the numbers of the "
                     "slots."},
            {"chkT", "Checked, the font, size and colour picked apply to the signs in the "
                     "slots."},
            {"chkA", "Writes the short names of the control codes 000 to 032 (NUL, SOH, ...) "
                     "into their slots, then unchecks itself."},
            {"optHelp", "Opens the help window (in German), and closes it at the next click."},
            {"legend", "The names of the control codes 000 to 032."},
            {"txtO", "The code of the last character handled, and the code that Send current "
                     "sign continuously sends (0 to 255, empty means 141)."},
            {"bitRow", "The bit pattern of that code, bit 7 on the left: blue is a 1 in bits 7 "
                       "and 6, red a 1 in bits 5 to 0, white a 0, as the board's LEDs show "
                       "it."},
            {"txtN(291)", "The bit pattern of that code, bit 7 on the left: blue is a 1 in bits "
                          "7 and 6, red a 1 in bits 5 to 0, white a 0, as the board's LEDs "
                          "show it."},
            {"optSendC", "Selected while the current sign is being sent continuously."},
            {"cmdSendC", "Sends the code in the field left of the bits over and over, with the "
                         "pause (at least 50 ms), for an oscilloscope, until stopped."},
            {"cmdStopC", "Stops the continuous send and closes the port."},
            {"cmdBackShowHide", "Shows or hides a full-screen picture behind the window; a "
                                "double click on the picture ends the program."},
            {"cmdSetPos", "Moves the window to the Left and Top values, in twips (1440 to the "
                          "inch)."},
            {"txtTop", "The window's top edge in twips, kept up to date; a typed value (-8000 "
                       "to 3000) moves the window when you leave the field."},
            {"lblN(290)", "The window's top edge in twips, kept up to date; a typed value (-8000 "
                          "to 3000) moves the window when you leave the field."},
            {"cmdCenter", "Centres the window on the screen."},
            {"statusLine", "Says what ZERBO does or waits for, how the table arrived, why the "
                           "port closed and the last error, and on the right which device is "
                           "COM1 and why."},
            {"txtLeft", "The window's left edge in twips, kept up to date; a typed value (-8000 "
                        "to 13000) moves the window when you leave the field."},
            {"lblN(289)", "The window's left edge in twips, kept up to date; a typed value "
                          "(-8000 to 13000) moves the window when you leave the field."},
            {"rtfData(0)", "A sample in the colour picked last."},
            {"txtS", "The string that Send sends, one character after another."},
            {"txtN(288)", "The string that Send sends, one character after another."},
            {"prgBar", "How far a string send or a reset of the table has come."},
            {"optTxD", "Send mode: the next Com1 opens the port for sending."},
            {"optRxD", "Receive mode: the next Com1 empties the table and waits for the board "
                       "to send the codes 0 to 255 (press its key 1)."},
            {"cmdCom1", "Receives the table or opens the port for sending, as the mode picked "
                        "says; with no mode picked it does nothing."},
            {"cmdMan", "Fills the table without the board, and also writes each code to the "
                       "port, with the pause (at least 10 ms)."},
            {"cmdNew", "Empties the table; to receive again, pick RxD Receive, then Com1."},
            {"cmdExit", "Ends the program at once, whatever is running."},
            {"cmdSend", "Sends the string, one character after another, with the pause before "
                        "each (at least 100 ms)."},
            {"txtTime", "The pause in milliseconds; an empty or smaller value is raised to 10 "
                        "for Man, 100 for Send and 50 for the continuous send."},
            {"txtN(289)", "The pause in milliseconds; an empty or smaller value is raised to 10 "
                          "for Man, 100 for Send and 50 for the continuous send."},
        };
        list.append(slotColumnTips(
            "A slot: the number, the character, and the round button that sends that "
            "character to the port (the arrow keys then send the next one)."));
        return list;
    }();
    return tips;
}

void giveToolTips(QWidget& form) {
    QHash<QString, QString> byName;
    for (const ToolTip& tip : toolTips())
        byName.insert(tip.control, tip.text);
    // One walk over the window's nearly 900 controls.
    for (QWidget* control : form.findChildren<QWidget*>())
        if (const auto tip = byName.constFind(control->objectName()); tip != byName.cend())
            control->setToolTip(*tip);
}
