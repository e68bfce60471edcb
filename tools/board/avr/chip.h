// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// A chip the virtual board simulates: where its UART's and ports' registers
// are in data space, which pins carry the LEDs and key 1 (as the firmware's
// chip_*.h wires them), and its flash.
struct Chip {
    struct Pin {
        char port; // 'B', 'C', 'D'
        std::uint8_t bit;
    };
    const char* name;  // as --mcu and an image's board id say it: "atmega8"
    const char* title; // as a user reads it: "ATmega8"
    const char* board; // "ATmega8A board", "Arduino Uno"
    std::uint32_t flashBytes;
    std::uint32_t clockHz; // the board's clock where the image does not say
    std::uint16_t ubrrl, ubrrh, ucsra, ucsrb, ucsrc; // ucsrc == ubrrh: one address, URSEL picks
    std::uint16_t portB, portC, portD;
    std::uint16_t mcusr;
    Pin key;
    Pin leds[8];   // bit 0 first
    char lastPort; // the firmware writes it last: the pattern is whole then
    bool hasJmp;   // the vector table of an image built for it holds JMPs

    std::uint16_t portAddress(char port) const;
    bool ucsrcSharesUbrrh() const { return ucsrc == ubrrh; }
};

const Chip& atmega8();
// nullptr for a name no chip has.
const Chip* findChip(const std::string& name);
// "atmega8, atmega328p", for messages and --help.
std::string chipNames();
