#pragma once

#include <cstdint>
#include <span>

class RegisterGridModel;

// The register image shown in Grid1, ten registers a row, each as four hex digits.

// Corner text, model and labels of the grid, run once while the main window is created.
void SetUpGrid();

// What Grid1 shows, from SetUpGrid on.
RegisterGridModel& gridCells();

// Puts the start register's row on top and its first cell current; sets SelRow.
void ShowStartRow();

// Stores value into RegImage[n] and shows it in n's cell; RangeError for n outside 0..32000,
// with nothing written. A cell the operator is typing into keeps the typed text; the register
// editor's own writes show their value over it (gridCells().showValue).
void StoreRegister(std::int32_t n, std::uint16_t value);
// The same for a run of registers from first on, as one change of the grid; a register
// outside the image ends the run with RangeError, those before it stored.
void StoreRegisters(std::int32_t first, std::span<const std::uint16_t> values);

// Clear Grid: empties every data cell; labels, image, selection and scrolling stay.
void clearGrid();
