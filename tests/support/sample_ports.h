// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/port_description.h"

// Ports as the system's port list describes them, for the tests that list,
// choose and log ports without the hardware.
namespace SamplePorts {
inline const PortDescription Ftdi{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403,
                                  0x6001};
// A built-in port the kernel lists without a UART behind it.
inline const PortDescription NoUart{"/dev/ttyS1", {}, {}, {}, {}, {}};
} // namespace SamplePorts
