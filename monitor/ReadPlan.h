#pragma once

#include <cstdint>

// One function 3 request of a pass: the device address serves as transaction identifier
// and start address, so the answer carries where its values belong.
struct ReadRequest {
    std::uint16_t address;
    std::uint16_t count;
};

constexpr std::int32_t MaxRegistersPerRequest = 100;

// The request that starts at register nextReg of a pass ending at endReg: at most 100
// registers, device address nextReg - regOffset. Raises RangeError when the count or the
// address leaves 0..65535, OverflowError when the subtraction leaves 32 bits.
ReadRequest nextReadRequest(std::int32_t nextReg, std::int32_t endReg, std::int32_t regOffset);
