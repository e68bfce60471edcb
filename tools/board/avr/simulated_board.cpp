// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulated_board.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

extern "C" {
#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_cycle_timers.h>
#include <sim_io.h>
}

namespace {
constexpr std::uint8_t Ursel = 0x80, U2x = 0x02, Ucsz2 = 0x04, Upm1 = 0x20, Usbs = 0x08;
constexpr std::uint8_t Extrf = 0x02, Porf = 0x01;

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

// Some of the library's cores print notes of their own on standard output
// ("skipping PORT\0 for core atmega8", NUL byte and all), where the board's
// own lines go: the chip is made with standard output sent nowhere.
template <typename Call> auto withoutStandardOutput(Call call) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && nowhere >= 0)
        ::dup2(nowhere, STDOUT_FILENO);
    const auto result = call();
    std::fflush(stdout);
    if (saved >= 0 && nowhere >= 0)
        ::dup2(saved, STDOUT_FILENO);
    for (int fd : {saved, nowhere})
        if (fd >= 0)
            ::close(fd);
    return result;
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

SimulatedBoard::SimulatedBoard(const FirmwareImage& image, const Chip& chip,
                               const FirmwareImage* bootloader)
    : chip_(chip), clockHz_(image.clockHz) {
    avr_global_logger_set(toStandardError);
    avr_ = withoutStandardOutput([&chip] {
        avr_t* made = avr_make_mcu_by_name(chip.name);
        if (made != nullptr)
            avr_init(made);
        return made;
    });
    if (avr_ == nullptr)
        throw std::runtime_error(std::string("the simulator knows no ") + chip.title +
                                 " (simavr too old?)");
    avr_->log = LOG_ERROR;
    avr_->sleep = noSleep;
    avr_->frequency = image.clockHz;
    std::memcpy(avr_->flash, image.flash.data(), image.flash.size());
    avr_->codeend = avr_->flashend;
    avr_->pc = 0;
    if (bootloader != nullptr) {
        std::memcpy(avr_->flash + bootloader->address, bootloader->flash.data(),
                    bootloader->flash.size());
        bootAddress_ = bootloader->address;
        avr_->reset_pc = bootAddress_;
        avr_->pc = bootAddress_;
        avr_->data[chip.mcusr] = Porf; // plugged in: the power-on reset
    }

    uart_ = findUart(avr_);
    if (uart_ == nullptr)
        throw std::runtime_error(std::string("the simulated ") + chip.title + " has no UART");
    std::uint32_t flags = 0;
    avr_ioctl(avr_, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags &= ~std::uint32_t(AVR_UART_FLAG_STDIO | AVR_UART_FLAG_POLL_SLEEP);
    avr_ioctl(avr_, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    avr_irq_register_notify(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT),
                            uartOutput, this);
    avr_irq_register_notify(unfiltered(avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ(chip.lastPort),
                                                     IOPORT_IRQ_REG_PORT)),
                            lastPortWritten, this);
    unfiltered(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT));
    for (const avr_io_addr_t address :
         {chip.ubrrl, chip.ucsrb, chip.ucsra, chip.ubrrh, chip.ucsrc}) {
        if (address == chip.ucsrc && chip.ucsrcSharesUbrrh())
            continue;
        // Where no module watches the register, the watcher must store it.
        if (avr_->io[AVR_DATA_TO_IO(address)].w.c == nullptr)
            storesItself_ |= 1u << (address & 0x1F);
        avr_register_io_write(avr_, address, registerWritten, this);
    }
    // Looked up once: each look-up asks every module of the chip.
    // Unfiltered: a reset clears the pin registers but not the pin's last
    // value, so a key that is up must be told again or it would read down.
    keyPin_ = unfiltered(avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ(chip.key.port), chip.key.bit));
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
    return cycleBase_ + avr_->cycle;
}

bool SimulatedBoard::runUntil(Cycle target) {
    // A sleeping chip jumps to its next timer event; this one makes it stop
    // at the target, so a byte that comes then is not put off to a later tick.
    avr_cycle_timer_cancel(avr_, stopHere, this);
    if (target > cycle())
        avr_cycle_timer_register(avr_, target - cycle(), stopHere, this);
    while (cycle() < target) {
        // The UART's own hooks recompute its byte time on some writes; keep ours.
        if (frameCycles_ != 0)
            uart_->cycles_per_byte = frameCycles_;
        const Cycle before = avr_->cycle;
        const int state = avr_run(avr_);
        if (avr_->cycle < before) { // the watchdog reset the chip, and its count
            cycleBase_ += before;
            afterReset();
            avr_cycle_timer_register(avr_, target - cycle(), stopHere, this);
        }
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

void SimulatedBoard::resetExternally() {
    const Cycle before = avr_->cycle;
    avr_reset(avr_);
    if (avr_->cycle < before)
        cycleBase_ += before;
    avr_->data[chip_.mcusr] = Extrf;
    afterReset();
}

// A reset clears the registers this board shadows. Some versions of the
// simulator also start its cycle count again from 0; the board's own goes on.
void SimulatedBoard::afterReset() {
    ubrrh_ = ubrrl_ = ucsra_ = ucsrb_ = 0;
    ucsrc_ = 0x86;
    updateFrameCycles();
    setKeyDown(keyDown_);
}

bool SimulatedBoard::inBootloader() const {
    return bootAddress_ != 0 && avr_->pc >= bootAddress_;
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
        board->onTransmit(std::uint8_t(value), board->cycle());
}

// The firmware writes the LEDs' last port last, so that write completes the pattern.
void SimulatedBoard::lastPortWritten(avr_irq_t*, std::uint32_t value, void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    const Chip& chip = board->chip_;
    // The simulator drives the input pins from the port's pull-up bits right
    // after every write; a key held down keeps its pin low all the same.
    if (chip.key.port == chip.lastPort)
        board->keyToReassert_ = board->keyDown_;
    if (!board->onLeds || board->inBootloader())
        return;
    std::uint8_t leds = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const Chip::Pin pin = chip.leds[bit];
        const std::uint32_t port =
            pin.port == chip.lastPort ? value : board->avr_->data[chip.portAddress(pin.port)];
        leds |= std::uint8_t(((port >> pin.bit) & 1u) << bit);
    }
    board->onLeds(leds, board->cycle());
}

void SimulatedBoard::registerWritten(avr_t* avr, std::uint16_t address, std::uint8_t value,
                                     void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    if ((board->storesItself_ & (1u << (address & 0x1F))) != 0)
        avr->data[address] = value;
    const Chip& chip = board->chip_;
    if (address == chip.ubrrl)
        board->ubrrl_ = value;
    else if (address == chip.ucsrc && (!chip.ucsrcSharesUbrrh() || (value & Ursel) != 0))
        board->ucsrc_ = value;
    else if (address == chip.ubrrh)
        board->ubrrh_ = value & 0x0F;
    else if (address == chip.ucsra)
        board->ucsra_ = value;
    else if (address == chip.ucsrb)
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
