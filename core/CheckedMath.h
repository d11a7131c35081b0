#pragma once

#include "core/RuntimeErrors.h"

#include <cstdint>

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

constexpr std::int32_t checkedAdd32(std::int32_t a, std::int32_t b) {
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) throw OverflowError();
    return sum;
}

constexpr std::int32_t checkedSub32(std::int32_t a, std::int32_t b) {
    std::int32_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) throw OverflowError();
    return difference;
}
