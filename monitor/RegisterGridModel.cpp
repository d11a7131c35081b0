#include "monitor/RegisterGridModel.h"

#include "core/CheckedMath.h"
#include "core/HexDigits.h"
#include "monitor/GridMapping.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::int32_t DataCells = (GridRowCount - 1) * RegistersPerRow;

QString hexText(std::uint16_t value) {
    const std::array<char, 4> digits = hexDigits<4>(value);
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
    const std::span<const std::uint16_t> run = values.first(registersInImage(first, values.size()));
    if (!run.empty()) storeRun(first, run, kept);
    if (run.size() < values.size()) throw RangeError();
}

void RegisterGridModel::storeRun(std::int32_t first, std::span<const std::uint16_t> run,
                                 std::optional<std::int32_t> kept) {
    const bool keeps = kept && *kept >= first && *kept - first < std::ssize(run);
    // The image changes under the kept cell, which must go on showing the text it had: from
    // here on it never shows the value.
    if (keeps) keepAsTyped(*kept);
    const std::span<Shows> cells = std::span(shows).subspan(first, run.size());
    const auto notShowingValues =
        std::ranges::count_if(cells, [](Shows shown) { return shown != Shows::Value; });
    const bool valuesChange = image.write(first, run);
    const std::int32_t last = first + static_cast<std::int32_t>(run.size()) - 1;
    typed.removeIf([&](const auto& cell) {
        return cell.key() >= first && cell.key() <= last && cell.key() != kept;
    });
    const Shows keptShows = keeps ? shows[*kept] : Shows::Value;
    std::ranges::fill(cells, Shows::Value);
    if (keeps) shows[*kept] = keptShows;
    // Cyclic reading of unchanged registers costs the view no repaint.
    if (valuesChange || notShowingValues > (keeps ? 1 : 0)) announce(first, last);
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
