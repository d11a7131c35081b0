#include "monitor/GridMapping.h"

#include <algorithm>
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

constexpr std::size_t RowLabels = GridRowCount - 1;
constexpr std::size_t RowLabelChars = 6;
static_assert(registerOfCell(1, RowLabels) < 100000, "a row label has at most 6 characters");

// About 40 KiB, built once, when the grid is set up: a text of its own for each of the 3201
// labels took a heap allocation apiece.
struct RowLabelTexts {
    RowLabelTexts() {
        for (std::int32_t row = 1; row < GridRowCount; ++row) {
            const std::string label = ' ' + std::to_string(registerOfCell(1, row));
            std::copy(label.begin(), label.end(), texts.begin() + RowLabelChars * (row - 1));
            lengths[row - 1] = static_cast<std::uint8_t>(label.size());
        }
    }
    std::array<char16_t, RowLabels * RowLabelChars> texts{};
    std::array<std::uint8_t, RowLabels> lengths{};
};

} // namespace

std::u16string_view rowLabelText(std::int32_t row) {
    static const RowLabelTexts table;
    return {table.texts.data() + RowLabelChars * (row - 1), table.lengths[row - 1]};
}

std::u16string_view hexWordText(std::uint16_t value) {
    static const HexWordTexts table;
    return {table.texts.data() + DigitsPerWord * value, DigitsPerWord};
}
