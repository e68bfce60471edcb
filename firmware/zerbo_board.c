// SPDX-License-Identifier: GPL-3.0-or-later
// The board's firmware for the ATmega8A (and ATmega8): key 1 sends the codes
// 0 to 255 in ascending order at 38400 8N1; the eight LEDs show each byte
// sent and each byte received. Pin map and wiring: README.md beside this file.
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

#define STR2(x) #x
#define STR(x) STR2(x)

// Read by the virtual board to run the image at the clock it was built for.
const char board_id[] PROGMEM __attribute__((used)) =
    "ZERBO-BOARD mcu=atmega8 f_cpu=" STR(F_CPU) " baud=" STR(BAUD) " pause_ms=" STR(PAUSE_MS);

// Rounded to the nearest divisor: 8 MHz gives 12 (+0.16 %), 7.3728 MHz 11 (0 %).
#define UBRR_VALUE ((F_CPU + 8UL * BAUD) / (16UL * BAUD) - 1UL)
// Timer 2 in CTC mode at 1 kHz (prescaler 64): the debounce and pause tick.
#define TICK_TOP ((F_CPU / 64UL + 500UL) / 1000UL - 1UL)
#if TICK_TOP > 255
#error "F_CPU too high for a 1 kHz tick on timer 2 with prescaler 64"
#endif

// PD4, not PD2/PD3: the simulator polls the INT0/INT1 pins every few cycles
// while they are low, even with those interrupts off (a third of a core).
#define KEY_BIT PD4
#define DEBOUNCE_MS 10 // the key must read the same this long to count
#define TABLE_SIZE 256

// EEPROM byte 0: the 8 MHz calibration byte that `make flash` copies there.
#define OSCCAL_EEPROM_ADDRESS ((const uint8_t*)0)

static volatile uint16_t next_code = TABLE_SIZE; // TABLE_SIZE: not sending
static volatile uint8_t tick_flag;

// LED bits 0-5 on PC0-PC5, bits 6-7 on PD6-PD7 (PB6/PB7 carry the crystal).
// PORTD is written last: a byte is fully shown once PORTD holds it.
static void show(uint8_t byte) {
    PORTC = (uint8_t)((PORTC & 0xC0) | (byte & 0x3F));
    PORTD = (uint8_t)((PORTD & 0x3F) | (byte & 0xC0));
}

static void calibrate_clock(void) {
#ifndef CLOCK_CRYSTAL
    const uint8_t calibration = eeprom_read_byte(OSCCAL_EEPROM_ADDRESS);
    if (calibration != 0xFF) // erased: keep the 1 MHz value loaded at reset
        OSCCAL = calibration;
#endif
}

static void init_ports(void) {
    DDRC = 0x3F;
    DDRD = (uint8_t)(_BV(PD6) | _BV(PD7));
    PORTD = _BV(KEY_BIT); // pull-up: the key pulls PD4 to ground
    show(0);
}

static void init_uart(void) {
    UBRRH = (uint8_t)(UBRR_VALUE >> 8);
    UBRRL = (uint8_t)UBRR_VALUE;
    UCSRA = 0;
    UCSRC = (uint8_t)(_BV(URSEL) | _BV(UCSZ1) | _BV(UCSZ0)); // 8N1
    UCSRB = (uint8_t)(_BV(RXEN) | _BV(TXEN) | _BV(RXCIE));
}

static void init_tick(void) {
    TCCR2 = (uint8_t)(_BV(WGM21) | _BV(CS22)); // CTC, clk/64
    OCR2 = (uint8_t)TICK_TOP;
    TIMSK = _BV(OCIE2);
}

static void send_code(uint8_t code) {
    UDR = code;
    show(code);
}

ISR(USART_RXC_vect) {
    const uint8_t status = UCSRA;
    const uint8_t byte = UDR;
    if (!(status & _BV(FE)))
        show(byte);
}

// Back to back: the next code goes out as soon as the transmit buffer is free.
ISR(USART_UDRE_vect) {
    if (next_code < TABLE_SIZE)
        send_code((uint8_t)next_code++);
    if (next_code >= TABLE_SIZE)
        UCSRB &= (uint8_t)~_BV(UDRIE);
}

ISR(TIMER2_COMP_vect) {
    tick_flag = 1;
}

// Returns 1 once per press, after the key has read low for DEBOUNCE_MS.
static uint8_t key_pressed(void) {
    static uint8_t stable_ms;
    static uint8_t down;
    const uint8_t reads_down = !(PIND & _BV(KEY_BIT));
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
    UCSRB |= _BV(UDRIE);
#endif
    sei();
}

#if PAUSE_MS > 0
static void pace_table(void) {
    static uint16_t waited_ms;
    if (next_code >= TABLE_SIZE || !(UCSRA & _BV(UDRE)))
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
