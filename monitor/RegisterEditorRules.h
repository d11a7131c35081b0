#pragma once

#include "monitor/GridMapping.h"

#include <cstdint>
#include <string>

// The register editor's rules, apart from the window: which register a selected cell names,
// whether a write to it may go ahead, and how the selected register is displayed.

enum class WriteGate {
    Nothing,    // no register selected, or one beyond the image: silently nothing
    OutOfRange, // the click was refused or the register left the read range: say so
    Write,
};

// A write goes only to the register that the last click accepted, and only while it lies
// in startReg..endReg; values the operator never saw are never sent.
WriteGate writeGate(std::int32_t selCol, std::int32_t selRow, bool clickAccepted,
                    std::int32_t startReg, std::int32_t endReg);

// "REG. 1003 = 0x00FF"
std::string registerDisplay(std::int32_t reg, std::uint16_t value);

// "Register nicht im Bereich 1000 bis 1200"
std::string outOfRangeLine(std::int32_t startReg, std::int32_t endReg);
