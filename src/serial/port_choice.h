// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/runtime_error.h"
#include "serial/port_description.h"
#include "serial/port_hints.h"

#include <QList>
#include <QString>
#include <optional>

// COM1 when no device is named.
inline constexpr char DefaultCom1Device[] = "/dev/ttyS0";

// The serial ports present now.
QList<PortDescription> presentPorts();

// The USB serial adapters among the ports, in their order: a port with a USB
// vendor id, or with the name the kernel gives USB serial devices (ttyUSB*,
// ttyACM*). Built-in ttyS* ports without a vendor id never count: many
// machines list ttyS ports with no UART behind them.
QList<PortDescription> usbAdaptersAmong(const QList<PortDescription>& ports);

// "/dev/ttyACM0 (Arduino Uno, maker Arduino, serial number 8503..., USB id
// 2341:0043: an Arduino Uno)"; the parts the port list does not know are
// left out, and the board only for the USB ids of boards people plug in most.
QString describePort(const PortDescription& port);

// What stands for COM1 when no device is named, from how the default device
// opened (0 or errno, com1OpenError()) and the ports present. canAsk: a
// window may ask the user; without one the default device that opens is
// taken as it is, and one that refuses (8005, 8010) reports its own error.
struct Com1Choice {
    enum class Outcome {
        Default,           // DefaultCom1Device: it opens, or nobody can be asked
        OneAdapter,        // adapters[0]
        SeveralAdapters,   // the user picks among adapters
        DefaultOrAdapters, // it opens, and adapters too: the user picks, the default first
        Refused,           // it refuses (8005, 8010): the user is asked, adapters offered
        NoneFound,         // noPortFound() says what was looked for
    };
    Outcome outcome;
    QList<PortDescription> adapters;
};
Com1Choice chooseCom1(int defaultOpenError, const QList<PortDescription>& present,
                      bool canAsk = false);

// Error 8002: neither the default device nor an adapter; names both, how to
// name a device and the virtual board, and brltty where it took a CH340.
RuntimeError noPortFound(int defaultOpenError,
                         const QString& defaultDevice = QString::fromLatin1(DefaultCom1Device),
                         const SystemTree& tree = {});
