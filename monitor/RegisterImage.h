#pragma once

#include "monitor/RegisterNumbers.h"

#include <array>
#include <cstdint>

// The monitor's copy of the device's holding registers, one word per register 0..32000.
// Every access is checked: an index outside that range raises RangeError.
class RegisterImage {
  public:
    std::uint16_t at(std::int32_t reg) const;
    void set(std::int32_t reg, std::uint16_t value);

  private:
    std::array<std::uint16_t, HighestRegister + 1> words{};
};
