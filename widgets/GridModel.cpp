#include "widgets/GridModel.h"

#include <algorithm>
#include <utility>

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::resize(int newCols, int newRows) {
    newCols = std::max(newCols, 1);
    newRows = std::max(newRows, 1);
    beginResetModel();
    topLabels.resize(static_cast<std::size_t>(newCols));
    sideLabels.resize(static_cast<std::size_t>(newRows - 1));
    if (!dataCells.empty()) dataCells = resizedData(newCols, newRows);
    cols = newCols;
    rows = newRows;
    endResetModel();
}

std::vector<QString> GridModel::resizedData(int newCols, int newRows) const {
    std::vector<QString> resized(static_cast<std::size_t>(newCols - 1) * (newRows - 1));
    for (int row = 1; row < std::min(rows, newRows); ++row)
        for (int col = 1; col < std::min(cols, newCols); ++col)
            resized[static_cast<std::size_t>(row - 1) * (newCols - 1) + (col - 1)] =
                *find(col, row);
    return resized;
}

bool GridModel::contains(int col, int row) const {
    return col >= 0 && col < cols && row >= 0 && row < rows;
}

const QString* GridModel::find(int col, int row) const {
    if (col > 0 && row > 0) {
        if (dataCells.empty()) return nullptr;
        return &dataCells[static_cast<std::size_t>(row - 1) * (cols - 1) + (col - 1)];
    }
    return row == 0 ? &topLabels[static_cast<std::size_t>(col)]
                    : &sideLabels[static_cast<std::size_t>(row - 1)];
}

QString* GridModel::find(int col, int row) {
    return const_cast<QString*>(std::as_const(*this).find(col, row));
}

QString GridModel::cell(int col, int row) const {
    const QString* text = contains(col, row) ? find(col, row) : nullptr;
    return text ? *text : QString();
}

void GridModel::setCell(int col, int row, QString text) {
    if (!contains(col, row)) return;
    QString* stored = find(col, row);
    if (!stored) {
        // An empty text leaves the data cells as they are: all empty.
        if (text.isEmpty()) return;
        dataCells.resize(static_cast<std::size_t>(cols - 1) * (rows - 1));
        stored = find(col, row);
    }
    // An unchanged text costs the view no repaint.
    if (sameText(*stored, text)) return;
    *stored = std::move(text);
    if (openBatches > 0)
        collect(col, row);
    else
        announce(QRect(col, row, 1, 1));
}

// Cells are four characters or so, and an unchanged value usually comes from the same shared
// table: a check of length and address, then of the characters, does without the general
// string comparison.
bool GridModel::sameText(const QString& a, const QString& b) {
    return a.size() == b.size() &&
           (a.constData() == b.constData() || std::equal(a.cbegin(), a.cend(), b.cbegin()));
}

void GridModel::collect(int col, int row) {
    if (pending.isNull()) {
        pending = QRect(col, row, 1, 1);
        return;
    }
    pending.setCoords(std::min(pending.left(), col), std::min(pending.top(), row),
                      std::max(pending.right(), col), std::max(pending.bottom(), row));
}

void GridModel::announce(QRect cells) {
    cells &= QRect(0, 0, cols, rows);
    const QRect data = cells & QRect(1, 1, cols - 1, rows - 1);
    if (!data.isEmpty())
        emit dataChanged(index(data.top() - 1, data.left() - 1),
                         index(data.bottom() - 1, data.right() - 1));
    if (cells.left() == 0 && cells.bottom() > 0)
        emit headerDataChanged(Qt::Vertical, std::max(cells.top(), 1) - 1, cells.bottom() - 1);
    if (cells.top() == 0 && cells.right() > 0)
        emit headerDataChanged(Qt::Horizontal, std::max(cells.left(), 1) - 1, cells.right() - 1);
    if (cells.contains(0, 0)) emit cornerChanged();
}

GridModel::Batch::Batch(GridModel& model) : model(model) {
    ++model.openBatches;
}

GridModel::Batch::~Batch() {
    if (--model.openBatches > 0 || model.pending.isNull()) return;
    const QRect changed = model.pending;
    model.pending = QRect();
    model.announce(changed);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols - 1;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return cell(index.column() + 1, index.row() + 1);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !contains(index.column() + 1, index.row() + 1)) return false;
    setCell(index.column() + 1, index.row() + 1, value.toString());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex&) const {
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    return orientation == Qt::Horizontal ? cell(section + 1, 0) : cell(0, section + 1);
}
