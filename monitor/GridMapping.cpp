#include "monitor/GridMapping.h"

#include <array>

namespace {

constexpr std::size_t DigitsPerWord = 4;

constexpr auto makeHexWordTexts() {
    constexpr std::u16string_view digits = u"0123456789ABCDEF";
    std::array<char16_t, DigitsPerWord * 0x10000> texts{};
    for (std::size_t value = 0; value <= 0xFFFF; ++value)
        for (std::size_t i = 0; i < DigitsPerWord; ++i)
            texts[DigitsPerWord * value + i] = digits[(value >> (4 * (3 - i))) & 0xF];
    return texts;
}

// 512 KiB, built by the compiler.
constexpr auto HexWordTexts = makeHexWordTexts();

} // namespace

std::u16string_view hexWordText(std::uint16_t value) {
    return {HexWordTexts.data() + DigitsPerWord * value, DigitsPerWord};
}
