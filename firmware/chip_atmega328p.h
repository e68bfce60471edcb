// SPDX-License-Identifier: GPL-3.0-or-later
// The Arduino Uno or Nano (ATmega328P at 16 MHz): LED bits 0-5 on D2-D7
// (PD2-PD7), bits 6-7 on D8-D9 (PB0-PB1), key 1 on D10 (PB2). D0 and D1 are
// the UART, wired to the board's USB-serial chip. Included by zerbo_board.c only.
#pragma once

#include <avr/wdt.h>

#define MCU_NAME "atmega328p"

#define KEY_PIN PINB
#define KEY_BIT PB2

#define UART_RX_VECT USART_RX_vect
#define UART_UDRE_VECT USART_UDRE_vect
#define TICK_VECT TIMER2_COMPA_vect
#define UART_DATA UDR0
#define UART_STATUS UCSR0A
#define UART_CONTROL UCSR0B
#define UART_FRAME_ERROR FE0
#define UART_EMPTY UDRE0
#define UART_EMPTY_INTERRUPT UDRIE0

// PORTB is written last: a byte is fully shown once PORTB holds it.
static void show(uint8_t byte) {
    PORTD = (uint8_t)((PORTD & 0x03) | (uint8_t)(byte << 2));
    PORTB = (uint8_t)((PORTB & 0xFC) | (byte >> 6));
}

static void init_ports(void) {
    // A bootloader that starts the firmware from a watchdog reset may leave
    // the watchdog running; it would restart the board every few ms.
    MCUSR = 0;
    wdt_disable();
    DDRD = 0xFC;
    DDRB = (uint8_t)(_BV(PB0) | _BV(PB1));
    PORTB = _BV(KEY_BIT); // pull-up: the key pulls D10 to ground
    show(0);
}

static void init_uart(void) {
    UBRR0H = UBRRH_VALUE;
    UBRR0L = UBRRL_VALUE;
    UCSR0A = USE_2X ? _BV(U2X0) : 0;
    UCSR0C = (uint8_t)(_BV(UCSZ01) | _BV(UCSZ00)); // 8N1
    UCSR0B = (uint8_t)(_BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0));
}

static void init_tick(void) {
    TCCR2A = _BV(WGM21); // CTC
    TCCR2B = _BV(CS22);  // clk/64
    OCR2A = (uint8_t)TICK_TOP;
    TIMSK2 = _BV(OCIE2A);
}
