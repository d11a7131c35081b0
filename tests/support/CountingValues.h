#pragma once

#include "modbus/UDP_Modbus.h"

#include <cstdint>

// Register values first, first + 1, ... so that every register shows where it came from.
inline TModbusRegArray countingValues(std::uint16_t first = 0x100) {
    TModbusRegArray values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint16_t>(first + i);
    return values;
}
