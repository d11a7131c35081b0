#pragma once

#include <cstdint>

// The highest register number of the monitor: the image, the grid, the read range and the
// register editor all end here.
constexpr std::int32_t HighestRegister = 32000;
