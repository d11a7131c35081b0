#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Upper-case hexadecimal as the program writes it everywhere: two digits a byte in the frame
// dumps, four a register in the grid and in Label2.

// The Count lowest hexadecimal digits of value, most significant first.
template <std::size_t Count>
constexpr std::array<char, Count> hexDigits(std::uint32_t value) {
    std::array<char, Count> digits{};
    for (std::size_t i = Count; i-- > 0; value >>= 4)
        digits[i] = "0123456789ABCDEF"[value & 0xF];
    return digits;
}

// A register's value as its cell shows it: "00FF".
inline std::string hexWord(std::uint16_t value) {
    const std::array<char, 4> digits = hexDigits<4>(value);
    return {digits.begin(), digits.end()};
}
