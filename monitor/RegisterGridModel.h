#pragma once

#include "monitor/RegisterImage.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What Grid1 shows of the register image. A data cell shows nothing, its register's value
// from the image, or text the operator typed; the model keeps which, and formats the digits
// only for the cells a view asks for. Data cell i (row by row, ten to a row) stands for
// register i, so the last row's cells 2..10 stand for registers beyond the image.
class RegisterGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit RegisterGridModel(RegisterImage& image, QObject* parent = nullptr);

    // The text the cell of register reg (0..32009) shows.
    QString text(std::int32_t reg) const;

    // Writes values into the image from register first on and shows them in their cells, with
    // one change signal. The cell of register kept, the one the operator is typing into, keeps
    // what it shows. A register beyond the image raises RangeError once those before it are
    // stored and shown.
    void store(std::int32_t first, std::span<const std::uint16_t> values,
               std::optional<std::int32_t> kept = std::nullopt);
    // The cell of reg (in the image) shows the image's value again, also over typed text.
    void showValue(std::int32_t reg);
    // Every data cell shows nothing, typed text included; the image stays.
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    enum class Shows : std::uint8_t { Nothing, Value, Typed };

    static std::int32_t registerAt(const QModelIndex& index);
    void storeRun(std::int32_t first, std::span<const std::uint16_t> run,
                  std::optional<std::int32_t> kept);
    void keepAsTyped(std::int32_t reg);
    void announce(std::int32_t first, std::int32_t last);

    RegisterImage& image;
    std::vector<Shows> shows;
    QHash<std::int32_t, QString> typed; // only the cells that show typed text
};
