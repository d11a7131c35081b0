#pragma once

#include <QTableView>

class GridModel;
class QAbstractButton;
class QKeyEvent;
class QMouseEvent;

// A classic string grid over a table view: one text per cell, addressed by (column, row)
// where column 0 and row 0 are the fixed label cells (shown as the view's headers).
class StringGrid : public QTableView {
    Q_OBJECT

  public:
    static constexpr int DefaultColWidth = 47;
    static constexpr int DefaultRowHeight = 18;

    explicit StringGrid(QWidget* parent = nullptr);
    ~StringGrid() override;

    void setDoubleBuffered(bool on);
    bool isDoubleBuffered() const;

    int colCount() const;
    int rowCount() const;
    void setColCount(int count);
    void setRowCount(int count);

    // Any cell, label cells included; a cell outside the grid reads as the empty text.
    // An open editor on the cell follows a new text.
    QString cell(int col, int row) const;
    void setCell(int col, int row, QString text);

    // Whether the operator is typing into a cell, or into this cell, right now.
    bool isEditing() const;
    bool isEditing(int col, int row) const;

    // The current cell; setting it shrinks the selection to that cell and scrolls it into view.
    int col() const;
    int row() const;
    void setCurrentCell(int col, int row);

    // The first visible data row below the fixed row.
    int topRow() const;
    void setTopRow(int row);

    // Left and right column, top and bottom row of the selection, as grid indexes.
    QRect selection() const;

    // The column and row under point (x, y) of the grid's client area: 0 on a label, the
    // absolute data index otherwise, -1 beyond the last column or row (then both are -1).
    void mouseToCell(int x, int y, int& col, int& row) const;

    GridModel& cells();

  signals:
    // Every mouse button press over the grid, the point in the grid's client coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Every typed character, whether a cell is being edited in place or not; Enter is '\r'.
    void keyPress(QChar key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

  private:
    void setUpHeaders();
    bool isLabelArea(const QObject* widget) const;
    void announceKey(const QKeyEvent& event);
    void finishEditing();
    void announceMouseDown(const QWidget& source, const QMouseEvent& event);
    void paintCorner();

    GridModel* gridModel;
    QAbstractButton* cornerButton;
    bool forwardingKey = false; // the view hands a key on to the editor it opens with it
};
