#include "monitor/RegisterGrid.h"

#include "monitor/GridMapping.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterGridModel.h"
#include "widgets/StringGrid.h"

#include <algorithm>
#include <optional>

void SetUpGrid() {
    StringGrid& grid = *Varden->Grid1;
    grid.setCornerText(QStringLiteral("Regist."));
    // Its size is the grid's, and it labels rows and columns itself.
    grid.setModel(new RegisterGridModel(RegImage, &grid));
}

RegisterGridModel& gridCells() {
    return static_cast<RegisterGridModel&>(*Varden->Grid1->model());
}

void ShowStartRow() {
    SelRow = std::max(StartReg / RegistersPerRow - 1, 0);
    StringGrid& grid = *Varden->Grid1;
    grid.setCurrentCell(1, SelRow + 2);
    grid.setTopRow(grid.selection().top());
}

void StoreRegister(std::int32_t n, std::uint16_t value) {
    StoreRegisters(n, std::span(&value, 1));
}

void StoreRegisters(std::int32_t first, std::span<const std::uint16_t> values) {
    const StringGrid& grid = *Varden->Grid1;
    // The text the operator is typing stays: the next keystrokes would otherwise go behind the
    // device's value, and Enter would write a number nobody typed. The editor is always on the
    // current cell.
    const std::optional<std::int32_t> typing =
        grid.isEditing() ? std::optional(registerOfCell(grid.col(), grid.row())) : std::nullopt;
    gridCells().store(first, values, typing);
}

void clearGrid() {
    gridCells().clear();
}
