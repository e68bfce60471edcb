// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/port_choice.h"

#include <QString>
#include <functional>
#include <optional>

// What to do when COM1 cannot be found by itself: several USB serial
// adapters, or none at all.
enum class WhenSeveral {
    Ask,    // the user picks an adapter, or is offered the virtual board, or ends
    Refuse, // no window: standard error lists the adapters and asks for --port, or 8002
};

// What the no-port question offers and what the user answered.
enum class NoPortAnswer { VirtualBoard, ListAgain, End };

// Where COM1 is looked for when no device is named, and how the user is asked
// when none is found. The defaults are the real ones: the no-port dialog and
// zerbo-board beside this program.
struct Com1Search {
    QString defaultDevice = QString::fromLatin1(DefaultCom1Device);
    std::function<QList<PortDescription>()> ports = presentPorts;
    // why: the 8002 text; withBoard: the board can be offered.
    std::function<NoPortAnswer(const QString& why, bool withBoard)> askNoPort = nullptr;
    // The virtual board's program, empty when there is none, and its start.
    std::function<QString()> boardProgram = nullptr;
    std::function<std::optional<QString>(const QString& program)> startBoard = nullptr;
};
Com1Search realCom1Search();

// The device that stands for COM1: the named one as it is; with none named,
// /dev/ttyS0 when it opens, else the one USB serial adapter plugged in, else
// the one the user picks; standard error says which. With none at all and
// WhenSeveral::Ask, the user may start the virtual board (its port is COM1)
// or look again. Nothing when the user ended the program or was asked to
// name one. Throws RuntimeError 8002 when there is none and nobody to ask.
std::optional<QString> findCom1Device(const QString& namedDevice, WhenSeveral whenSeveral,
                                      const Com1Search& search = realCom1Search());

// "zerbo: COM1 is DEVICE (HOW)" on standard error.
void sayCom1(const QString& device, const QString& how);
