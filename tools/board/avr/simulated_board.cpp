// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulated_board.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>

extern "C" {
#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_cycle_timers.h>
#include <sim_io.h>
}

namespace {
// ATmega8 data-space addresses.
constexpr avr_io_addr_t Ubrrl = 0x29, Ucsrb = 0x2A, Ucsra = 0x2B, UbrrhUcsrc = 0x40;
constexpr avr_io_addr_t PortC = 0x35;
constexpr std::uint8_t Ursel = 0x80, U2x = 0x02, Ucsz2 = 0x04, Upm1 = 0x20, Usbs = 0x08;
constexpr int KeyPin = 4; // PD4

// The library prints through this: its messages go to standard error only
// (standard output carries the board's own lines), without the NUL bytes
// some of them hold, and only errors (its warnings are about parts this board does not use).
void toStandardError(avr_t*, const int level, const char* format, va_list arguments) {
    if (level > LOG_ERROR)
        return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::fprintf(stderr, "zerbo-board: simulator: %s", text);
    if (std::strchr(text, '\n') == nullptr)
        std::fputc('\n', stderr);
}

avr_cycle_count_t stopHere(avr_t*, avr_cycle_count_t, void*) {
    return 0;
}

// The board's time is the caller's: never sleep in the simulator.
void noSleep(avr_t*, avr_cycle_count_t) {
}

avr_uart_t* findUart(avr_t* avr) {
    for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next)
        if (io->kind != nullptr && std::strcmp(io->kind, "uart") == 0)
            return reinterpret_cast<avr_uart_t*>(io); // avr_io_t is its first member
    return nullptr;
}

// Without the filter flag cleared, a port reports only changes: the same
// byte shown twice would vanish.
avr_irq_t* unfiltered(avr_irq_t* irq) {
    irq->flags &= ~IRQ_FLAG_FILTERED;
    return irq;
}
} // namespace

SimulatedBoard::SimulatedBoard(const FirmwareImage& image) : clockHz_(image.clockHz) {
    avr_global_logger_set(toStandardError);
    avr_ = avr_make_mcu_by_name("atmega8");
    if (avr_ == nullptr)
        throw std::runtime_error("the simulator knows no ATmega8 (simavr too old?)");
    avr_init(avr_);
    avr_->log = LOG_ERROR;
    avr_->sleep = noSleep;
    avr_->frequency = image.clockHz;
    std::memcpy(avr_->flash, image.flash.data(), image.flash.size());
    avr_->codeend = avr_->flashend;
    avr_->pc = 0;

    uart_ = findUart(avr_);
    if (uart_ == nullptr)
        throw std::runtime_error("the simulated ATmega8 has no UART");
    std::uint32_t flags = 0;
    avr_ioctl(avr_, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags &= ~std::uint32_t(AVR_UART_FLAG_STDIO | AVR_UART_FLAG_POLL_SLEEP);
    avr_ioctl(avr_, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    avr_irq_register_notify(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT),
                            uartOutput, this);
    avr_irq_register_notify(
        unfiltered(avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ('D'), IOPORT_IRQ_REG_PORT)),
        portDWritten, this);
    unfiltered(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT));
    for (const avr_io_addr_t address : {Ubrrl, Ucsrb, Ucsra, UbrrhUcsrc}) {
        // Where no module watches the register, the watcher must store it.
        if (avr_->io[AVR_DATA_TO_IO(address)].w.c == nullptr)
            storesItself_ |= 1u << (address & 0x1F);
        avr_register_io_write(avr_, address, registerWritten, this);
    }
    // Looked up once: each look-up asks every module of the chip.
    keyPin_ = avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ('D'), KeyPin);
    uartInput_ = avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
    setKeyDown(false);
}

SimulatedBoard::~SimulatedBoard() {
    if (avr_ != nullptr)
        avr_terminate(avr_);
    // avr_terminate leaves the structure itself to the caller.
    std::free(avr_);
}

SimulatedBoard::Cycle SimulatedBoard::cycle() const {
    return avr_->cycle;
}

bool SimulatedBoard::runUntil(Cycle target) {
    // A sleeping chip jumps to its next timer event; this one makes it stop
    // at the target, so a byte that comes then is not put off to a later tick.
    avr_cycle_timer_cancel(avr_, stopHere, this);
    if (target > avr_->cycle)
        avr_cycle_timer_register(avr_, target - avr_->cycle, stopHere, this);
    while (avr_->cycle < target) {
        // The UART's own hooks recompute its byte time on some writes; keep ours.
        if (frameCycles_ != 0)
            uart_->cycles_per_byte = frameCycles_;
        const int state = avr_run(avr_);
        if (keyToReassert_) {
            keyToReassert_ = false;
            setKeyDown(true);
        }
        if (state == cpu_Done || state == cpu_Crashed)
            return false;
    }
    return true;
}

void SimulatedBoard::setKeyDown(bool down) {
    keyDown_ = down;
    avr_raise_irq(keyPin_, down ? 0 : 1);
}

void SimulatedBoard::receive(std::uint8_t byte, bool framingError) {
    if (frameCycles_ != 0)
        uart_->cycles_per_byte = frameCycles_;
    avr_raise_irq(uartInput_, byte | (framingError ? std::uint32_t(UART_INPUT_FE) : 0u));
}

double SimulatedBoard::uartBaud() const {
    return cyclesPerBit_ == 0 ? 0.0 : double(clockHz_) / double(cyclesPerBit_);
}

void SimulatedBoard::uartOutput(avr_irq_t*, std::uint32_t value, void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    if (board->onTransmit)
        board->onTransmit(std::uint8_t(value), board->avr_->cycle);
}

// The LEDs' bits 0-5 are PC0-PC5 and bits 6-7 PD6-PD7; the firmware writes
// PORTD last, so a PORTD write completes the pattern.
void SimulatedBoard::portDWritten(avr_irq_t*, std::uint32_t value, void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    const std::uint8_t leds = std::uint8_t((board->avr_->data[PortC] & 0x3F) | (value & 0xC0));
    // The simulator drives the input pins from PORTD's pull-up bits right
    // after every write; a key held down keeps its pin low all the same.
    board->keyToReassert_ = board->keyDown_;
    if (board->onLeds)
        board->onLeds(leds, board->avr_->cycle);
}

void SimulatedBoard::registerWritten(avr_t* avr, std::uint16_t address, std::uint8_t value,
                                     void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    if ((board->storesItself_ & (1u << (address & 0x1F))) != 0)
        avr->data[address] = value;
    if (address == Ubrrl)
        board->ubrrl_ = value;
    else if (address == UbrrhUcsrc && (value & Ursel) != 0)
        board->ucsrc_ = value;
    else if (address == UbrrhUcsrc)
        board->ubrrh_ = value & 0x0F;
    else if (address == Ucsra)
        board->ucsra_ = value;
    else if (address == Ucsrb)
        board->ucsrb_ = value;
    board->updateFrameCycles();
}

// Start bit, 5 to 8 data bits, a parity bit if enabled, one or two stop bits.
void SimulatedBoard::updateFrameCycles() {
    const unsigned divisor = (ubrrh_ << 8 | ubrrl_) + 1u;
    cyclesPerBit_ = ((ucsra_ & U2x) != 0 ? 8u : 16u) * divisor;
    unsigned dataBits = 5 + ((ucsrc_ >> 1) & 0x03);
    if ((ucsrb_ & Ucsz2) != 0)
        dataBits = 9;
    const unsigned bits = 1 + dataBits + ((ucsrc_ & Upm1) != 0 ? 1 : 0) + ((ucsrc_ & Usbs) ? 2 : 1);
    frameCycles_ = cyclesPerBit_ * bits;
}
