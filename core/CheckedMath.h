#pragma once

#include "core/RuntimeErrors.h"

#include <cstdint>
#include <limits>

// Checked arithmetic on register numbers, counts, addresses and 16-bit values: a result
// outside its range raises RangeError, a 32-bit overflow raises OverflowError.

// Returns value when it lies in lo..hi, raises RangeError otherwise.
constexpr std::int64_t checkedRange(std::int64_t value, std::int64_t lo, std::int64_t hi) {
    if (value < lo || value > hi) throw RangeError();
    return value;
}

// A value that must fit an unsigned 16-bit field (0..65535).
constexpr std::uint16_t checkedWord(std::int64_t value) {
    return static_cast<std::uint16_t>(checkedRange(value, 0, 0xFFFF));
}

// A 32-bit result computed in 64 bits, where no sum or difference of two 32-bit values
// overflows; plain C++ rather than a compiler builtin, so MSVC builds it too.
constexpr std::int32_t checkedInt32(std::int64_t exact) {
    if (exact < std::numeric_limits<std::int32_t>::min() ||
        exact > std::numeric_limits<std::int32_t>::max())
        throw OverflowError();
    return static_cast<std::int32_t>(exact);
}

constexpr std::int32_t checkedAdd32(std::int32_t a, std::int32_t b) {
    return checkedInt32(std::int64_t{a} + b);
}

constexpr std::int32_t checkedSub32(std::int32_t a, std::int32_t b) {
    return checkedInt32(std::int64_t{a} - b);
}
