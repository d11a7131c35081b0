#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Frames written the way they read in a protocol trace: "00 18 0A" <-> {0x00, 0x18, 0x0A}.

inline std::vector<std::uint8_t> bytesFromHex(std::string_view hex) {
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw std::invalid_argument(std::string("bytesFromHex: not a hex digit: ") + c);
    };
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); ++i) {
        if (hex[i] == ' ') continue;
        if (i + 1 >= hex.size()) throw std::invalid_argument("bytesFromHex: odd digit count");
        bytes.push_back(static_cast<std::uint8_t>(digit(hex[i]) << 4 | digit(hex[i + 1])));
        ++i;
    }
    return bytes;
}

// Upper-case digits, one blank between bytes.
inline std::string bytesToHex(std::span<const std::uint8_t> bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::uint8_t byte : bytes) {
        if (!hex.empty()) hex += ' ';
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}
