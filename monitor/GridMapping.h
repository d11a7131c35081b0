#pragma once

#include <cstdint>
#include <string>

// Where a register sits in Grid1: ten registers a row after the label column, the first
// data row holding registers 0..9. Column 0 and row 0 are the label cells.

constexpr std::int32_t RegistersPerRow = 10;
// Rows enough for register 32000; the last row's columns 2..10 stand for 32001..32009.
constexpr std::int32_t GridRowCount = 3202;

struct GridCell {
    std::int32_t col;
    std::int32_t row;
};

constexpr GridCell cellOfRegister(std::int32_t reg) {
    return {reg % RegistersPerRow + 1, reg / RegistersPerRow + 1};
}

// The register of the data cell in column col of row row (grid indexes).
constexpr std::int32_t registerOfCell(std::int32_t col, std::int32_t row) {
    return (row - 1) * RegistersPerRow + (col - 1);
}

// " 1000": a blank and the first register of the data row (rows 1..GridRowCount-1).
inline std::string rowLabel(std::int32_t row) {
    return ' ' + std::to_string(registerOfCell(1, row));
}

// " +3": the distance of the data column's registers from the first of their row.
inline std::string colLabel(std::int32_t col) {
    return " +" + std::to_string(col - 1);
}
