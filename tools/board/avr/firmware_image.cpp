// SPDX-License-Identifier: GPL-3.0-or-later
#include "firmware_image.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

extern "C" {
#include <sim_hex.h>
}

namespace {
constexpr std::uint32_t Atmega8FlashBytes = 8192;
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

void readBoardId(FirmwareImage& image, const std::string& path) {
    const auto begin = image.flash.begin();
    const auto at = std::search(begin, image.flash.end(), BoardId, BoardId + sizeof BoardId - 1);
    if (at == image.flash.end())
        return;
    const auto end = std::find(at, image.flash.end(), std::uint8_t(0));
    const std::string id(at, end);
    if (id.find("mcu=atmega8 ") == std::string::npos)
        throw bad(path, "the image is for another chip (" + id + "), not the ATmega8");
    image.hasBoardId = true;
    image.clockHz = field(id, "f_cpu=", image.clockHz);
    image.baud = field(id, "baud=", image.baud);
    image.pauseMs = field(id, "pause_ms=", 0);
    if (image.clockHz < 1000000 || image.clockHz > 16000000)
        throw bad(path, "its clock " + std::to_string(image.clockHz) +
                            " Hz is outside the ATmega8's 1 to 16 MHz");
}
} // namespace

std::string megahertz(std::uint32_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%g MHz", hz / 1e6);
    return text;
}

FirmwareImage readFirmwareImage(const std::string& path) {
    checkHexSyntax(path);
    ihex_chunk_p chunks = nullptr;
    const int count = read_ihex_chunks(path.c_str(), &chunks);
    if (count < 0)
        throw bad(path, "a record is corrupt (wrong checksum or length); rebuild it");
    FirmwareImage image;
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
        if (chunks[0].size > Atmega8FlashBytes)
            throw bad(path, std::to_string(chunks[0].size) +
                                " bytes do not fit the ATmega8's 8192 bytes of flash");
        image.flash.assign(chunks[0].data, chunks[0].data + chunks[0].size);
    } catch (...) {
        free_ihex_chunks(chunks);
        throw;
    }
    free_ihex_chunks(chunks);
    // The ATmega8 has no JMP: a vector table of JMPs was built for a bigger chip.
    if (image.flash.size() >= 2 && (image.flash[1] & 0xFE) == 0x94 &&
        (image.flash[0] & 0x0E) == 0x0C)
        throw bad(path, "its reset vector is a JMP: the image was built for a bigger chip "
                        "(-mmcu=atmega8 makes one for this board)");
    readBoardId(image, path);
    return image;
}
