// SPDX-License-Identifier: GPL-3.0-or-later
// The ATmega8A board: LED bits 0-5 on PC0-PC5, bits 6-7 on PD6-PD7 (PB6/PB7
// carry the crystal), key 1 on PD4. Included by zerbo_board.c only.
#pragma once

#define MCU_NAME "atmega8"

// PD4, not PD2/PD3: the simulator polls the INT0/INT1 pins every few cycles
// while they are low, even with those interrupts off (a third of a core).
#define KEY_PIN PIND
#define KEY_BIT PD4

#define UART_RX_VECT USART_RXC_vect
#define UART_UDRE_VECT USART_UDRE_vect
#define TICK_VECT TIMER2_COMP_vect
#define UART_DATA UDR
#define UART_STATUS UCSRA
#define UART_CONTROL UCSRB
#define UART_FRAME_ERROR FE
#define UART_EMPTY UDRE
#define UART_EMPTY_INTERRUPT UDRIE

// PORTD is written last: a byte is fully shown once PORTD holds it.
static void show(uint8_t byte) {
    PORTC = (uint8_t)((PORTC & 0xC0) | (byte & 0x3F));
    PORTD = (uint8_t)((PORTD & 0x3F) | (byte & 0xC0));
}

static void init_ports(void) {
    DDRC = 0x3F;
    DDRD = (uint8_t)(_BV(PD6) | _BV(PD7));
    PORTD = _BV(KEY_BIT); // pull-up: the key pulls PD4 to ground
    show(0);
}

static void init_uart(void) {
    UBRRH = UBRRH_VALUE;
    UBRRL = UBRRL_VALUE;
    UCSRA = USE_2X ? _BV(U2X) : 0;
    UCSRC = (uint8_t)(_BV(URSEL) | _BV(UCSZ1) | _BV(UCSZ0)); // 8N1
    UCSRB = (uint8_t)(_BV(RXEN) | _BV(TXEN) | _BV(RXCIE));
}

static void init_tick(void) {
    TCCR2 = (uint8_t)(_BV(WGM21) | _BV(CS22)); // CTC, clk/64
    OCR2 = (uint8_t)TICK_TOP;
    TIMSK = _BV(OCIE2);
}
