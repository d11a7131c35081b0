#include "monitor/RegisterImage.h"

#include "core/CheckedMath.h"

#include <algorithm>

std::uint16_t RegisterImage::at(std::int32_t reg) const {
    return words[checkedRange(reg, 0, HighestRegister)];
}

void RegisterImage::set(std::int32_t reg, std::uint16_t value) {
    words[checkedRange(reg, 0, HighestRegister)] = value;
}

bool RegisterImage::write(std::int32_t first, std::span<const std::uint16_t> values) {
    if (values.empty()) return false;
    const auto last = static_cast<std::int64_t>(first) + std::ssize(values) - 1;
    const auto from = words.begin() + checkedRange(first, 0, HighestRegister);
    checkedRange(last, 0, HighestRegister);
    if (std::equal(values.begin(), values.end(), from)) return false;
    std::copy(values.begin(), values.end(), from);
    return true;
}
