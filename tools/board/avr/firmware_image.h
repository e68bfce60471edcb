// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A firmware image read from an Intel hex file and checked for the ATmega8:
// one chunk from address 0, within its 8 KiB of flash, not for a bigger chip.
struct FirmwareImage {
    std::vector<std::uint8_t> flash;
    std::uint32_t clockHz = 8000000; // from the image's board id, else 8 MHz
    std::uint32_t baud = 38400;      // the rate the image was built for, if it says
    std::uint32_t pauseMs = 0;
    bool hasBoardId = false;
};

// Throws std::runtime_error with a reason a user can act on.
FirmwareImage readFirmwareImage(const std::string& path);

// "8 MHz", "7.3728 MHz".
std::string megahertz(std::uint32_t hz);
