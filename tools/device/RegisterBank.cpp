#include "tools/device/RegisterBank.h"

#include <numeric>

RegisterBank::RegisterBank(ValuePattern pattern) : values(Size, 0) {
    if (pattern != ValuePattern::Zeros) std::iota(values.begin(), values.end(), std::uint16_t{0});
}

void RegisterBank::countUp() {
    for (std::uint16_t& value : values)
        ++value;
}
