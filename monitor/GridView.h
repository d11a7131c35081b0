#pragma once

#include <cstdint>
#include <span>

// The register image shown in Grid1, ten registers a row, each as four hex digits.

// Corner text, size and labels of the grid, run once while the main window is created.
void SetUpGrid();

// Puts the start register's row on top and its first cell current; sets SelRow.
void ShowStartRow();

// Stores value into RegImage[n] and into n's cell; RangeError for n outside 0..32000, with
// nothing written. A cell the operator is typing into keeps the typed text; the register
// editor's own writes go to the cell directly (Grid1->setCell).
void StoreRegister(std::int32_t n, std::uint16_t value);
// The same for a run of registers from first on, as one change of the grid; a register
// outside the image ends the run with RangeError, those before it stored.
void StoreRegisters(std::int32_t first, std::span<const std::uint16_t> values);

// Clear Grid: empties every data cell; labels, image, selection and scrolling stay.
void clearGrid();
