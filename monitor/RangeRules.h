#pragma once

#include "monitor/RegisterNumbers.h"

#include <cstdint>
#include <optional>

// What the start, end and offset fields accept, given the values in force. The tests apply
// to the value as typed; only an accepted value is rounded to a register number.

// The nearest integer; a value halfway between two goes to the even one (1000.5 -> 1000,
// 1001.5 -> 1002). The value must lie within the 32-bit range.
std::int32_t roundHalfToEven(double value);

// The new StartReg, or nothing when refused: 0 <= value <= endReg, value >= regOffset and
// value < 32000 (strict, so that rounding alone can reach 32000).
std::optional<std::int32_t> acceptStartRegister(std::optional<double> value, std::int32_t endReg,
                                                std::int32_t regOffset);

// The new EndReg, or nothing when refused: value >= 0, value >= startReg, value <= 32000.
std::optional<std::int32_t> acceptEndRegister(std::optional<double> value, std::int32_t startReg);

// An offset has no lower bound; it must not exceed the start register.
constexpr bool acceptOffset(std::int32_t offset, std::int32_t startReg) {
    return offset <= startReg;
}
