#pragma once

#include "widgets/StringGrid.h"

#include <QList>
#include <QPoint>

// The data cells of a grid that hold any text, as (column, row), row by row.
inline QList<QPoint> filledCells(const StringGrid& grid) {
    QList<QPoint> filled;
    for (int row = 1; row < grid.rowCount(); ++row)
        for (int col = 1; col < grid.colCount(); ++col)
            if (!grid.cell(col, row).isEmpty()) filled.append({col, row});
    return filled;
}
