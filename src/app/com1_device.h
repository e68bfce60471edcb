// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/port_choice.h"

#include <QString>
#include <functional>
#include <optional>

// What to do when COM1 cannot be found by itself: several USB serial
// adapters, none at all, or a default device that refuses this user.
enum class WhenNotFound {
    Ask,    // the user picks a port, or is offered the virtual board, or ends
    Report, // no window: standard error lists the adapters and asks for --port, or the error
};

// What the no-port question offers and what the user answered.
enum class NoPortAnswer { UseAdapter, VirtualBoard, ListAgain, End };

// Where COM1 is looked for when no device is named, and how the user is asked
// when none is found. The defaults are the real ones, and realCom1Search()
// adds the no-port dialog, zerbo-board beside this program and the link a
// running board publishes.
struct Com1Search {
    QString defaultDevice = QString::fromLatin1(DefaultCom1Device);
    std::function<QList<PortDescription>()> ports = presentPorts;
    // why: the 8002 text, or the default device's own error; withBoard: the
    // board can be offered; adapters: the USB serial adapters offered.
    std::function<NoPortAnswer(const QString& why, bool withBoard, const QStringList& adapters)>
        askNoPort = nullptr;
    // The virtual board's program, empty when there is none, and its start.
    std::function<QString()> boardProgram = nullptr;
    std::function<std::optional<QString>(const QString& program)> startBoard = nullptr;
    // Where a virtual board the user runs publishes its port; empty: none looked for.
    QString boardLink = QString();
};
Com1Search realCom1Search();

// The device that stands for COM1, and why that one, as standard error says
// it: "it opens", "named by --port", "the virtual board, /usr/bin/zerbo-board".
struct Com1 {
    QString device;
    QString why;
};

// The device that stands for COM1: the named one as it is; with none named,
// /dev/ttyS0 when it opens (with WhenNotFound::Ask and adapters present too,
// the user picks among them all), else the one USB serial adapter plugged
// in, else the one the user picks, else a virtual board that runs; standard
// error says which. With none of these, or a /dev/ttyS0 that refuses this
// user, and WhenNotFound::Ask, the user is asked: an adapter found, the
// virtual board (its port is COM1), another look. Nothing when the user
// ended the program or was asked to name one. Throws RuntimeError 8002
// when there is none and nobody to ask.
std::optional<Com1> findCom1Device(const QString& namedDevice, WhenNotFound whenNotFound,
                                   const Com1Search& search = realCom1Search());

// "zerbo: COM1 is DEVICE (WHY)" on standard error.
void sayCom1(const Com1& com1);
