#pragma once

#include <QTableView>

class QAbstractButton;
class QKeyEvent;
class QMouseEvent;

// A classic string grid over a table view: cells addressed by (column, row) where column 0
// and row 0 are the fixed label cells, shown as the view's headers and corner. Its model
// gives the data cells as its items and the labels as its header data.
class StringGrid : public QTableView {
    Q_OBJECT

  public:
    static constexpr int DefaultColWidth = 47;
    static constexpr int DefaultRowHeight = 18;

    explicit StringGrid(QWidget* parent = nullptr);
    ~StringGrid() override;

    void setDoubleBuffered(bool on);
    bool isDoubleBuffered() const;

    // The text of the label cell (0, 0).
    QString cornerText() const;
    void setCornerText(const QString& text);

    // Whether the operator is typing into a cell right now: always the current cell, as the
    // view closes an open editor whenever the current cell moves.
    bool isEditing() const;

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

  signals:
    // Every mouse button press over the grid, the point in the grid's client coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Every typed character, whether a cell is being edited in place or not; Enter is '\r'.
    void keyPress(QChar key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;

  private:
    void setUpHeaders();
    bool isLabelArea(const QObject* widget) const;
    void announceKey(const QKeyEvent& event);
    void finishEditing();
    void announceMouseDown(const QWidget& source, const QMouseEvent& event);
    void paintCorner();
    void paintGridLines(const QRegion& region);

    QAbstractButton* cornerButton;
    QString corner;
    bool forwardingKey = false; // the view hands a key on to the editor it opens with it
};
