#pragma once

#include <QChar>

#include <cstdint>

// Ticks or clears the sixteen bit boxes after value; sets no handler off.
void ShowRegBits(std::uint16_t value);

// The value 0..65535 that the sixteen bit boxes show.
std::uint16_t GetRegBits();

// A press at (x, y) of the grid's client area selects its cell; a register in the read range
// is shown in Label2, its cell and the bit boxes.
void selectRegisterAt(int x, int y);

// Enter writes the selected cell's hex text to its register and the device.
void writeSelectedCell(QChar key);

// Update writes the bit boxes' value to the selected register and the device.
void writeBitBoxes();

// A click on the window's free area: no register selected, the start row on top.
void clearSelection();
