// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Troubleshooting output, off unless asked for, e.g.
// QT_LOGGING_RULES="zerbo.serial.debug=true". Only debug messages are
// written to these categories, so by default nothing reaches standard error.
Q_DECLARE_LOGGING_CATEGORY(zerboSerial) // the port chosen, the device lost, a reception's end
