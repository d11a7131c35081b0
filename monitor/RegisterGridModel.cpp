#include "monitor/RegisterGridModel.h"

#include "core/CheckedMath.h"
#include "monitor/GridMapping.h"

#include <algorithm>

namespace {

constexpr std::int32_t DataCells = (GridRowCount - 1) * RegistersPerRow;

QString hexText(std::uint16_t value) {
    const std::array<char, 4> digits = hexDigits(value);
    return QString::fromLatin1(digits.data(), digits.size());
}

// How many registers of a run from first on lie in the image.
std::size_t registersInImage(std::int32_t first, std::size_t count) {
    if (first < 0 || first > HighestRegister) return 0;
    return std::min(count, static_cast<std::size_t>(HighestRegister - first + 1));
}

} // namespace

RegisterGridModel::RegisterGridModel(RegisterImage& image, QObject* parent)
    : QAbstractTableModel(parent), image(image), shows(DataCells, Shows::Nothing) {}

QString RegisterGridModel::text(std::int32_t reg) const {
    switch (shows[checkedRange(reg, 0, DataCells - 1)]) {
    case Shows::Nothing:
        return {};
    case Shows::Value:
        return hexText(image.at(reg));
    case Shows::Typed:
        return typed.value(reg);
    }
    return {};
}

void RegisterGridModel::store(std::int32_t first, std::span<const std::uint16_t> values,
                              std::optional<std::int32_t> kept) {
    const std::size_t stored = registersInImage(first, values.size());
    // The image changes under the kept cell, which must go on showing the text it had.
    if (kept && *kept >= first && *kept - first < static_cast<std::int64_t>(stored))
        keepAsTyped(*kept);
    bool changed = false;
    for (std::size_t i = 0; i < stored; ++i) {
        const std::int32_t reg = first + static_cast<std::int32_t>(i);
        if (reg != kept) {
            changed = changed || shows[reg] != Shows::Value || image.at(reg) != values[i];
            if (shows[reg] == Shows::Typed) typed.remove(reg);
            shows[reg] = Shows::Value;
        }
        image.set(reg, values[i]);
    }
    // Cyclic reading of unchanged registers costs the view no repaint.
    if (changed) announce(first, first + static_cast<std::int32_t>(stored) - 1);
    if (stored < values.size()) throw RangeError();
}

void RegisterGridModel::showValue(std::int32_t reg) {
    checkedRange(reg, 0, HighestRegister);
    if (shows[reg] == Shows::Typed) typed.remove(reg);
    shows[reg] = Shows::Value;
    announce(reg, reg);
}

void RegisterGridModel::clear() {
    std::fill(shows.begin(), shows.end(), Shows::Nothing);
    typed.clear();
    announce(0, DataCells - 1);
}

void RegisterGridModel::keepAsTyped(std::int32_t reg) {
    if (shows[reg] != Shows::Value) return;
    typed.insert(reg, hexText(image.at(reg)));
    shows[reg] = Shows::Typed;
}

void RegisterGridModel::announce(std::int32_t first, std::int32_t last) {
    const GridCell top = cellOfRegister(first);
    const GridCell bottom = cellOfRegister(last);
    const bool oneRow = top.row == bottom.row;
    emit dataChanged(index(top.row - 1, oneRow ? top.col - 1 : 0),
                     index(bottom.row - 1, oneRow ? bottom.col - 1 : RegistersPerRow - 1));
}

std::int32_t RegisterGridModel::registerAt(const QModelIndex& index) {
    return registerOfCell(index.column() + 1, index.row() + 1);
}

int RegisterGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GridRowCount - 1;
}

int RegisterGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RegistersPerRow;
}

QVariant RegisterGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return text(registerAt(index));
}

bool RegisterGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
    const std::int32_t reg = registerAt(index);
    QString newText = value.toString();
    // An unchanged text costs the view no repaint, and an open editor keeps its cursor.
    if (newText == text(reg)) return true;
    shows[reg] = newText.isEmpty() ? Shows::Nothing : Shows::Typed;
    if (newText.isEmpty())
        typed.remove(reg);
    else
        typed.insert(reg, std::move(newText));
    announce(reg, reg);
    return true;
}

Qt::ItemFlags RegisterGridModel::flags(const QModelIndex&) const {
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant RegisterGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    return QString::fromStdString(orientation == Qt::Horizontal ? colLabel(section + 1)
                                                                : rowLabel(section + 1));
}
