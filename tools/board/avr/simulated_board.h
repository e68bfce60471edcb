// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "firmware_image.h"

#include <cstdint>
#include <functional>

struct avr_t;
struct avr_uart_t;

// An ATmega8 or ATmega328P in the simulator running a firmware image, in
// simulated time only: the caller decides how fast the cycles go. Its UART's
// byte time is the real one (start, data, parity, stop bits at the rate UBRR
// sets), which the simulator itself gets wrong with parity on.
// With a bootloader, the chip starts at it after every reset, as a chip
// whose BOOTRST fuse is programmed; the firmware, if any, is already in flash.
class SimulatedBoard {
public:
    using Cycle = std::uint64_t;

    explicit SimulatedBoard(const FirmwareImage& image, const Chip& chip = atmega8(),
                            const FirmwareImage* bootloader = nullptr);
    ~SimulatedBoard();
    SimulatedBoard(const SimulatedBoard&) = delete;
    SimulatedBoard& operator=(const SimulatedBoard&) = delete;

    std::uint32_t clockHz() const { return clockHz_; }
    Cycle cycle() const;

    // Runs until the cycle count reaches at least target; false if the
    // firmware stopped (crashed, or sleeps with interrupts off).
    bool runUntil(Cycle target);

    // Key 1 pulls its pin to ground while held.
    void setKeyDown(bool down);
    // A low pulse on RESET, as the USB-serial chip gives when DTR rises:
    // with a bootloader, the chip starts in it and finds EXTRF set.
    void resetExternally();
    // Whether the chip runs its bootloader now.
    bool inBootloader() const;

    // A byte whose start bit reaches RXD now; it is received one frame later.
    void receive(std::uint8_t byte, bool framingError = false);

    // Cycles one UART frame takes on the line, as the firmware set it up.
    Cycle frameCycles() const { return frameCycles_; }
    // The UART's rate in baud (0 while not set up).
    double uartBaud() const;

    // The firmware wrote a byte to UDR (the line carries it from then, or as
    // soon as the byte before it has left).
    std::function<void(std::uint8_t byte, Cycle at)> onTransmit;
    // The eight LEDs took a new pattern (also the same one again); not
    // reported while the bootloader runs, which drives none of them.
    std::function<void(std::uint8_t leds, Cycle at)> onLeds;

private:
    static void uartOutput(struct avr_irq_t* irq, std::uint32_t value, void* self);
    static void lastPortWritten(struct avr_irq_t* irq, std::uint32_t value, void* self);
    static void registerWritten(avr_t* avr, std::uint16_t address, std::uint8_t value, void* self);
    void updateFrameCycles();
    void afterReset();

    const Chip& chip_;
    avr_t* avr_ = nullptr;
    avr_uart_t* uart_ = nullptr;
    struct avr_irq_t* keyPin_ = nullptr;
    struct avr_irq_t* uartInput_ = nullptr;
    std::uint32_t clockHz_;
    Cycle frameCycles_ = 0;
    Cycle cyclesPerBit_ = 0;
    std::uint32_t bootAddress_ = 0; // 0: no bootloader
    Cycle cycleBase_ = 0;           // cycles before the simulator's last reset
    // UBRRH and UCSRC share one address on the ATmega8; URSEL picks which.
    std::uint8_t ubrrh_ = 0;
    std::uint8_t ubrrl_ = 0;
    std::uint8_t ucsrc_ = 0x86;
    bool keyDown_ = false;
    bool keyToReassert_ = false;
    std::uint8_t ucsra_ = 0;
    std::uint8_t ucsrb_ = 0;
    std::uint32_t storesItself_ = 0; // bit (address & 31): no other watcher stores it
};
