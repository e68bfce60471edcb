// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chip.h"

#include <cstdint>
#include <string>
#include <vector>

// A firmware image read from an Intel hex file and checked for the chip that
// runs it: one chunk from address 0, within its flash, built for that chip.
// A bootloader's image lies at the top of flash instead.
struct FirmwareImage {
    std::vector<std::uint8_t> flash;
    std::uint32_t address = 0;       // where flash[0] goes
    std::uint32_t clockHz = 8000000; // from the image's board id, else the chip's board's
    std::uint32_t baud = 38400;      // the rate the image was built for, if it says
    std::uint32_t pauseMs = 0;
    bool hasBoardId = false;
};

// Throws std::runtime_error with a reason a user can act on.
FirmwareImage readFirmwareImage(const std::string& path, const Chip& chip = atmega8());
// A bootloader for the chip: its data within the last 4 KiB of flash, any
// gaps erased (0xFF); its address is where the chip starts after a reset.
FirmwareImage readBootloaderImage(const std::string& path, const Chip& chip);

// "8 MHz", "7.3728 MHz".
std::string megahertz(std::uint32_t hz);
