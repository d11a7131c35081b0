#pragma once

#include "monitor/RegisterNumbers.h"

#include <array>
#include <cstdint>
#include <span>

// The monitor's copy of the device's holding registers, one word per register 0..32000.
// Every access is checked: an index outside that range raises RangeError.
class RegisterImage {
  public:
    std::uint16_t at(std::int32_t reg) const;
    void set(std::int32_t reg, std::uint16_t value);
    // A run of registers from first on, in one go; whether any of them changed. A run that
    // does not lie in the image whole raises RangeError, and nothing is written.
    bool write(std::int32_t first, std::span<const std::uint16_t> values);

  private:
    std::array<std::uint16_t, HighestRegister + 1> words{};
};
