// SPDX-License-Identifier: GPL-3.0-or-later
// The board's firmware for the ATmega8A (and ATmega8) and for the Arduino
// Uno or Nano (ATmega328P): key 1 sends the codes 0 to 255 in ascending order
// at 38400 8N1; the eight LEDs show each byte sent and each byte received.
// Pin map and wiring: README.md beside this file; the pins of each chip in
// chip_*.h.
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <avr/sleep.h>
#include <stdint.h>

#ifndef F_CPU
#define F_CPU 8000000UL
#endif
#ifndef BAUD
#define BAUD 38400UL
#endif
// Milliseconds between two bytes of the table; 0 sends them back to back.
#ifndef PAUSE_MS
#define PAUSE_MS 0
#endif

// Timer 2 in CTC mode at 1 kHz (prescaler 64): the debounce and pause tick.
#define TICK_TOP ((F_CPU / 64UL + 500UL) / 1000UL - 1UL)
#if TICK_TOP > 255
#error "F_CPU too high for a 1 kHz tick on timer 2 with prescaler 64"
#endif

// The divisor nearest the rate, and U2X where that comes closer: 8 MHz gives
// 12 (+0.16 %), 7.3728 MHz 11 (0 %), 16 MHz 25 (+0.16 %). A clock that no
// divisor serves within 2 % fails the build (-Werror).
#include <util/setbaud.h>

#if defined(__AVR_ATmega328P__)
#include "chip_atmega328p.h"
#elif defined(__AVR_ATmega8__)
#include "chip_atmega8.h"
#else
#error "no pin map for this chip: build with -mmcu=atmega8 or -mmcu=atmega328p"
#endif

#define STR2(x) #x
#define STR(x) STR2(x)

// Read by the virtual board to run the image at the clock it was built for.
const char board_id[] PROGMEM __attribute__((used)) =
    "ZERBO-BOARD mcu=" MCU_NAME " f_cpu=" STR(F_CPU) " baud=" STR(BAUD) " pause_ms=" STR(PAUSE_MS);

#define DEBOUNCE_MS 10 // the key must read the same this long to count
#define TABLE_SIZE 256

// EEPROM byte 0: the 8 MHz calibration byte that `make flash` copies there.
#define OSCCAL_EEPROM_ADDRESS ((const uint8_t*)0)

static volatile uint16_t next_code = TABLE_SIZE; // TABLE_SIZE: not sending
static volatile uint8_t tick_flag;

static void calibrate_clock(void) {
#if !defined(CLOCK_CRYSTAL) && defined(__AVR_ATmega8__)
    const uint8_t calibration = eeprom_read_byte(OSCCAL_EEPROM_ADDRESS);
    if (calibration != 0xFF) // erased: keep the 1 MHz value loaded at reset
        OSCCAL = calibration;
#endif
}

static void send_code(uint8_t code) {
    UART_DATA = code;
    show(code);
}

ISR(UART_RX_VECT) {
    const uint8_t status = UART_STATUS;
    const uint8_t byte = UART_DATA;
    if (!(status & _BV(UART_FRAME_ERROR)))
        show(byte);
}

// Back to back: the next code goes out as soon as the transmit buffer is free.
ISR(UART_UDRE_VECT) {
    if (next_code < TABLE_SIZE)
        send_code((uint8_t)next_code++);
    if (next_code >= TABLE_SIZE)
        UART_CONTROL &= (uint8_t)~_BV(UART_EMPTY_INTERRUPT);
}

ISR(TICK_VECT) {
    tick_flag = 1;
}

// Returns 1 once per press, after the key has read low for DEBOUNCE_MS.
static uint8_t key_pressed(void) {
    static uint8_t stable_ms;
    static uint8_t down;
    const uint8_t reads_down = !(KEY_PIN & _BV(KEY_BIT));
    if (reads_down == down) {
        stable_ms = 0;
        return 0;
    }
    if (++stable_ms < DEBOUNCE_MS)
        return 0;
    stable_ms = 0;
    down = reads_down;
    return down;
}

static void start_table(void) {
    cli();
    next_code = 0;
#if PAUSE_MS == 0
    UART_CONTROL |= _BV(UART_EMPTY_INTERRUPT);
#endif
    sei();
}

#if PAUSE_MS > 0
static void pace_table(void) {
    static uint16_t waited_ms;
    if (next_code >= TABLE_SIZE || !(UART_STATUS & _BV(UART_EMPTY)))
        return;
    if (next_code > 0 && ++waited_ms < PAUSE_MS)
        return;
    waited_ms = 0;
    send_code((uint8_t)next_code++);
}
#endif

int main(void) {
    calibrate_clock();
    init_ports();
    init_uart();
    init_tick();
    set_sleep_mode(SLEEP_MODE_IDLE);
    sei();
    for (;;) {
        sleep_mode(); // any interrupt wakes: the tick, a byte in or out
        if (!tick_flag)
            continue;
        tick_flag = 0;
        if (key_pressed())
            start_table();
#if PAUSE_MS > 0
        pace_table();
#endif
    }
}
