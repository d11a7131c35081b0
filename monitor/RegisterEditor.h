#pragma once

#include <cstdint>

// Ticks or clears the sixteen bit boxes after value; sets no handler off.
void ShowRegBits(std::uint16_t value);

// The value 0..65535 that the sixteen bit boxes show.
std::uint16_t GetRegBits();
