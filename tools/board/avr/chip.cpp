// SPDX-License-Identifier: GPL-3.0-or-later
#include "chip.h"

namespace {
const Chip Chips[] = {
    {"atmega8",
     "ATmega8",
     "ATmega8A board",
     8192,
     8000000,
     // UBRRL, UBRRH, UCSRA, UCSRB, UCSRC (shared with UBRRH)
     0x29,
     0x40,
     0x2B,
     0x2A,
     0x40,
     // PORTB, PORTC, PORTD, MCUCSR
     0x38,
     0x35,
     0x32,
     0x54,
     {'D', 4},
     {{'C', 0}, {'C', 1}, {'C', 2}, {'C', 3}, {'C', 4}, {'C', 5}, {'D', 6}, {'D', 7}},
     'D',
     false},
    {"atmega328p",
     "ATmega328P",
     "Arduino Uno",
     32768,
     16000000,
     // UBRR0L, UBRR0H, UCSR0A, UCSR0B, UCSR0C
     0xC4,
     0xC5,
     0xC0,
     0xC1,
     0xC2,
     // PORTB, PORTC, PORTD, MCUSR
     0x25,
     0x28,
     0x2B,
     0x54,
     {'B', 2}, // D10
     // D2-D7, D8-D9
     {{'D', 2}, {'D', 3}, {'D', 4}, {'D', 5}, {'D', 6}, {'D', 7}, {'B', 0}, {'B', 1}},
     'B',
     true},
};
} // namespace

std::uint16_t Chip::portAddress(char port) const {
    return port == 'B' ? portB : port == 'C' ? portC : portD;
}

const Chip& atmega8() {
    return Chips[0];
}

const Chip* findChip(const std::string& name) {
    for (const Chip& chip : Chips)
        if (name == chip.name)
            return &chip;
    return nullptr;
}

std::string chipNames() {
    std::string names;
    for (const Chip& chip : Chips)
        names += (names.empty() ? "" : ", ") + std::string(chip.name);
    return names;
}
