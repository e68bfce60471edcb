// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/port_choice.h"

#include <QString>
#include <functional>
#include <optional>

// What to do when several USB serial adapters could stand for COM1.
enum class WhenSeveral {
    Ask,    // the user picks one in a dialog, or ends the program
    Refuse, // no window: standard error lists them and asks for --port
};

// Where COM1 is looked for when no device is named.
struct Com1Search {
    QString defaultDevice = QString::fromLatin1(DefaultCom1Device);
    std::function<QList<PortDescription>()> ports = presentPorts;
};

// The device that stands for COM1: the named one as it is; with none named,
// /dev/ttyS0 when it opens, else the one USB serial adapter plugged in
// (standard error says which), else the one the user picks. Nothing when the
// user ended the program or was asked to name one. Throws RuntimeError 8002
// when there is none.
std::optional<QString> findCom1Device(const QString& namedDevice, WhenSeveral whenSeveral,
                                      const Com1Search& search = {});
