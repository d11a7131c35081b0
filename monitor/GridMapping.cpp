#include "monitor/GridMapping.h"

#include <array>

namespace {

constexpr std::size_t DigitsPerWord = 4;

// 512 KiB, built once, at the first value shown: built by the compiler instead, it took clang
// and MSVC past their limits on constant evaluation.
struct HexWordTexts {
    HexWordTexts() {
        constexpr std::u16string_view digits = u"0123456789ABCDEF";
        for (std::size_t value = 0; value <= 0xFFFF; ++value)
            for (std::size_t i = 0; i < DigitsPerWord; ++i)
                texts[DigitsPerWord * value + i] = digits[(value >> (4 * (3 - i))) & 0xF];
    }
    std::array<char16_t, DigitsPerWord * 0x10000> texts;
};

} // namespace

std::u16string_view hexWordText(std::uint16_t value) {
    static const HexWordTexts table;
    return {table.texts.data() + DigitsPerWord * value, DigitsPerWord};
}
