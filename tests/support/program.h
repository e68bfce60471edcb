// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/zerbo.h"
#include "pty_pair.h"

#include <QProcess>
#include <QTimer>
#include <functional>

// The Ready state with the window shown and active (so that the keyboard
// focus can move), as after start-up without a board.
void showReady(FrmAscii& form);

// The whole program on a pseudo-terminal that plays the board.
struct Program {
    PtyPair board;
    Zerbo zerbo{board.slavePath()};
    FrmAscii& form = zerbo.form();

    void showReady() { ::showReady(form); }
};

// The program as most tests begin: Ready, its window shown and active.
struct ReadyProgram : Program {
    ReadyProgram() { showReady(); }
};

// Runs the action from the event loop once the current handler yields.
void later(int ms, std::function<void()> action);

// Runs the action from the event loop as soon as the condition holds.
void waitUntil(std::function<bool()> condition, std::function<void()> action);

// Runs the action once the reception has opened the port and waits for the board.
void onceWaiting(Zerbo& zerbo, std::function<void()> action);
inline void onceWaiting(Program& p, std::function<void()> action) {
    onceWaiting(p.zerbo, std::move(action));
}

// Form_Load, with the board's process killed if the reception still waits
// after boundMs (a table that never ends). The bound ends with the reception,
// so that a slow machine never kills the board in the middle of what follows.
void loadKillingBoardAfter(Zerbo& zerbo, QProcess& board, int boundMs);

// The 256 codes 0..255 in order.
QByteArray wholeTable();

// What the user sees of the table.
int numberedSlots(const FrmAscii& form); // slots whose number shows their code, not greyed
QString bitRow(const FrmAscii& form);    // "b" blue, "r" red, "w" white; txtP(7) first
