// SPDX-License-Identifier: GPL-3.0-or-later
#include "firmware_image.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>

extern "C" {
#include <sim_hex.h>
}

namespace {
constexpr std::uint32_t BootAreaBytes = 4096;
constexpr char BoardId[] = "ZERBO-BOARD mcu=";

std::runtime_error bad(const std::string& path, const std::string& why) {
    return std::runtime_error("firmware " + path + ": " + why);
}

// The hex reader of the simulator accepts any text; check the record syntax
// first so that a wrong file gets a reason, not a garbled image.
void checkHexSyntax(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw bad(path, std::string("cannot open it: ") + std::strerror(errno));
    std::string line;
    int number = 0;
    bool any = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const bool hexDigits = std::all_of(line.begin() + 1, line.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        });
        if (line[0] != ':' || line.size() < 11 || line.size() % 2 == 0 || !hexDigits)
            throw bad(path, "line " + std::to_string(number) +
                                " is not an Intel hex record (build it with make firmware)");
        unsigned sum = 0;
        for (size_t i = 1; i + 1 < line.size(); i += 2)
            sum += unsigned(std::stoul(line.substr(i, 2), nullptr, 16));
        const unsigned length = unsigned(std::stoul(line.substr(1, 2), nullptr, 16));
        if (line.size() != 11 + 2 * length || (sum & 0xFF) != 0)
            throw bad(path, "line " + std::to_string(number) +
                                " is corrupt (wrong checksum or length); rebuild the image");
        any = true;
    }
    if (!any)
        throw bad(path, "the file holds no hex records");
}

std::uint32_t field(const std::string& id, const char* name, std::uint32_t fallback) {
    const auto at = id.find(name);
    if (at == std::string::npos)
        return fallback;
    return std::uint32_t(std::strtoul(id.c_str() + at + std::strlen(name), nullptr, 10));
}

std::string titleOf(const std::string& name) {
    const Chip* chip = findChip(name);
    return chip != nullptr ? chip->title : name;
}

void readBoardId(FirmwareImage& image, const std::string& path, const Chip& chip) {
    const auto begin = image.flash.begin();
    const auto at = std::search(begin, image.flash.end(), BoardId, BoardId + sizeof BoardId - 1);
    if (at == image.flash.end())
        return;
    const auto end = std::find(at, image.flash.end(), std::uint8_t(0));
    const std::string id(at, end);
    const auto mcuAt = id.find("mcu=") + 4;
    const std::string mcu = id.substr(mcuAt, id.find(' ', mcuAt) - mcuAt);
    if (mcu != chip.name)
        throw bad(path, "the image is built for the " + titleOf(mcu) + ", not for the " +
                            chip.title + " that --mcu " + chip.name +
                            " simulates; run it with "
                            "--mcu " +
                            mcu + ", or give it the image built for the " + chip.title);
    image.hasBoardId = true;
    image.clockHz = field(id, "f_cpu=", image.clockHz);
    image.baud = field(id, "baud=", image.baud);
    image.pauseMs = field(id, "pause_ms=", 0);
    if (image.clockHz < 1000000 || image.clockHz > 16000000)
        throw bad(path, "its clock " + std::to_string(image.clockHz) + " Hz is outside the " +
                            chip.title + "'s 1 to 16 MHz");
}
} // namespace

std::string megahertz(std::uint32_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%g MHz", hz / 1e6);
    return text;
}

FirmwareImage readFirmwareImage(const std::string& path, const Chip& chip) {
    checkHexSyntax(path);
    ihex_chunk_p chunks = nullptr;
    const int count = read_ihex_chunks(path.c_str(), &chunks);
    if (count < 0)
        throw bad(path, "a record is corrupt (wrong checksum or length); rebuild it");
    FirmwareImage image;
    image.clockHz = chip.clockHz;
    try {
        if (count == 0)
            throw bad(path, "the file holds no data");
        if (count > 1)
            throw bad(path, "it holds " + std::to_string(count) +
                                " separate chunks (flash plus EEPROM or fuses?); the board "
                                "takes one flash image from address 0 (avr-objcopy -R .eeprom)");
        if (chunks[0].baseaddr != 0)
            throw bad(path, "its data starts at address " + std::to_string(chunks[0].baseaddr) +
                                ", not at 0 where the reset vector is");
        if (chunks[0].size > chip.flashBytes)
            throw bad(path, std::to_string(chunks[0].size) + " bytes do not fit the " + chip.title +
                                "'s " + std::to_string(chip.flashBytes) + " bytes of flash");
        image.flash.assign(chunks[0].data, chunks[0].data + chunks[0].size);
    } catch (...) {
        free_ihex_chunks(chunks);
        throw;
    }
    free_ihex_chunks(chunks);
    // The board id names the chip it was built for; without one, the vector
    // table tells: the ATmega8 has no JMP, and the ATmega328P's is of JMPs.
    readBoardId(image, path, chip);
    if (image.hasBoardId)
        return image;
    const bool jmp = image.flash.size() >= 2 && (image.flash[1] & 0xFE) == 0x94 &&
                     (image.flash[0] & 0x0E) == 0x0C;
    const bool rjmp = image.flash.size() >= 2 && (image.flash[1] & 0xF0) == 0xC0;
    if (jmp && !chip.hasJmp)
        throw bad(path, std::string("its reset vector is a JMP: the image was built for a "
                                    "bigger chip (-mmcu=") +
                            chip.name + " makes one for the " + chip.title +
                            "; --mcu atmega328p runs one for the ATmega328P)");
    if (rjmp && chip.hasJmp)
        throw bad(path, std::string("its reset vector is an RJMP: the image was built for a "
                                    "smaller chip such as the ATmega8 (--mcu atmega8 runs it), "
                                    "not for the ") +
                            chip.title);
    return image;
}

// The simulator's reader stops at the start-address record (type 03) that
// bootloader images carry, so their data records are read here.
FirmwareImage readBootloaderImage(const std::string& path, const Chip& chip) {
    checkHexSyntax(path);
    std::ifstream in(path);
    std::map<std::uint32_t, std::uint8_t> bytes;
    std::uint32_t base = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 11)
            continue;
        const auto number = [&line](size_t at, size_t digits) {
            return std::uint32_t(std::stoul(line.substr(at, digits), nullptr, 16));
        };
        const std::uint32_t length = number(1, 2), offset = number(3, 4), type = number(7, 2);
        if (type == 0)
            for (std::uint32_t i = 0; i < length; ++i)
                bytes[base + offset + i] = std::uint8_t(number(9 + 2 * i, 2));
        else if (type == 2)
            base = number(9, 4) << 4;
        else if (type == 4)
            base = number(9, 4) << 16;
    }
    if (bytes.empty())
        throw bad(path, "the file holds no bootloader");
    const std::uint32_t first = bytes.begin()->first, end = bytes.rbegin()->first + 1;
    if (first < chip.flashBytes - BootAreaBytes || end > chip.flashBytes)
        throw bad(path, std::string("it is no bootloader for the ") + chip.title +
                            ": its data is not in the last 4 KiB of its flash");
    FirmwareImage image;
    image.clockHz = chip.clockHz;
    image.address = first;
    image.flash.assign(end - first, 0xFF); // erased between the records
    for (const auto& [address, byte] : bytes)
        image.flash[address - first] = byte;
    return image;
}
