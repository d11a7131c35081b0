#include "monitor/RegisterImage.h"

#include "core/CheckedMath.h"

std::uint16_t RegisterImage::at(std::int32_t reg) const {
    return words[checkedRange(reg, 0, HighestRegister)];
}

void RegisterImage::set(std::int32_t reg, std::uint16_t value) {
    words[checkedRange(reg, 0, HighestRegister)] = value;
}
