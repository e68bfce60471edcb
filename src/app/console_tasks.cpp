// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console_tasks.h"

#include "app/com1_device.h"
#include "app/error_report.h"
#include "app/loopback_report.h"
#include "base/code_check.h"
#include "serial/board_link.h"
#include "serial/loopback.h"
#include "serial/port_choice.h"
#include "serial/port_status.h"

#include <cstdio>

namespace {
constexpr int Passed = 0;
constexpr int Failed = 1;
constexpr int PortUnusable = 2;
} // namespace

int listPorts() {
    const QList<PortDescription> ports = presentPorts();
    for (const PortDescription& port : ports)
        std::printf("%s: %s\n", qPrintable(describePort(port)),
                    qPrintable(portStatus(port.device)));
    // The system's list knows no pseudo-terminals.
    const QString link = BoardLink::defaultPath();
    if (const QString board = BoardLink::runningDevice(link); !board.isEmpty())
        std::printf("%s (the virtual board, %s): %s\n", qPrintable(link), qPrintable(board),
                    qPrintable(portStatus(link)));
    else if (ports.isEmpty())
        std::fprintf(stderr, "zerbo: no serial ports found\n");
    return 0;
}

int loopbackTest(const QString& namedDevice) {
    try {
        const std::optional<Com1> com1 = findCom1Device(namedDevice, WhenNotFound::Report);
        if (!com1)
            return PortUnusable;
        const QByteArray codes = allCodes();
        const Loopback::Echo echo = Loopback::exchange(com1->device, codes);
        std::fputs(qPrintable(loopbackReport(com1->device, codes, echo)), stdout);
        return loopbackPassed(codes, echo) ? Passed : Failed;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zerbo: %s\n", qPrintable(runTimeErrorText(error).simplified()));
        return PortUnusable;
    }
}
