#include "monitor/GridView.h"

#include "monitor/GridMapping.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterImage.h"
#include "widgets/GridModel.h"
#include "widgets/StringGrid.h"

#include <algorithm>

namespace {

// A text from one of the shared tables: storing it allocates nothing, and neither does
// emptying the cell again.
QString sharedText(std::u16string_view text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                static_cast<qsizetype>(text.size()));
}

} // namespace

void SetUpGrid() {
    StringGrid& grid = *Varden->Grid1;
    grid.setCell(0, 0, QStringLiteral("Regist."));
    // Both sizes in one step: each resize resets the view and moves every text held.
    grid.cells().resize(GridColCount, GridRowCount);
    const GridModel::Batch labels(grid.cells());
    for (int row = 1; row < GridRowCount; ++row)
        grid.setCell(0, row, sharedText(rowLabelText(row)));
    for (int col = 1; col < GridColCount; ++col)
        grid.setCell(col, 0, QString::fromStdString(colLabel(col)));
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
    StringGrid& grid = *Varden->Grid1;
    GridModel& cells = grid.cells();
    const GridModel::Batch block(cells);
    const bool typing = grid.isEditing();
    std::int32_t n = first;
    for (const std::uint16_t value : values) {
        RegImage.set(n, value);
        const GridCell cell = cellOfRegister(n++);
        // The text the operator is typing stays: the next keystrokes would otherwise go behind
        // the device's value, and Enter would write a number nobody typed.
        if (!typing || !grid.isEditing(cell.col, cell.row))
            cells.setCell(cell.col, cell.row, sharedText(hexWordText(value)));
    }
}

void clearGrid() {
    StringGrid& grid = *Varden->Grid1;
    const GridModel::Batch clearing(grid.cells());
    for (int row = 1; row < grid.rowCount(); ++row)
        for (int col = 1; col < grid.colCount(); ++col)
            grid.setCell(col, row, QString());
}
