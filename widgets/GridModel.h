#pragma once

#include <QAbstractTableModel>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

// The texts of a string grid, one per cell, addressed by (column, row) where column 0 and
// row 0 are the label cells. A view sees the data cells as its items and the labels as its
// header sections; the corner cell (0, 0) belongs to neither and has a signal of its own.
class GridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit GridModel(QObject* parent = nullptr);

    // Columns and rows of the grid, label column and row included (at least 1 x 1).
    QSize size() const { return {cols, rows}; }
    // Texts of cells that stay keep their place; new cells are empty.
    void resize(int newCols, int newRows);

    // A cell outside the grid reads as the empty text; writing it does nothing.
    QString cell(int col, int row) const;
    // By value: a new text is moved into place, which costs less than copying it.
    void setCell(int col, int row, QString text);

    // While a batch is open the changed cells are only collected; when the last open batch
    // ends, also by an exception, one change signal covers them all. A view then repaints
    // once per block of stores instead of once per cell.
    class Batch {
      public:
        explicit Batch(GridModel& model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        GridModel& model;
    };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    void cornerChanged();

  private:
    bool contains(int col, int row) const;
    // Where the text of a cell inside the grid is held; nullptr for a data cell while the
    // data cells are not held.
    const QString* find(int col, int row) const;
    QString* find(int col, int row);
    std::vector<QString> resizedData(int newCols, int newRows) const;
    void announce(QRect cells);
    static bool sameText(const QString& a, const QString& b);
    void collect(int col, int row);

    int cols = 1;
    int rows = 1;
    // The labels are held from the start, the data cells only from the first text stored into
    // one of them on: setting up an empty grid of 32,000 cells touches no memory for them.
    std::vector<QString> topLabels{1}; // row 0, the corner first
    std::vector<QString> sideLabels;   // column 0 from row 1 on
    std::vector<QString> dataCells;    // rows 1.. and columns 1.., row by row, or none
    int openBatches = 0;
    QRect pending; // cells changed inside the open batches
};
