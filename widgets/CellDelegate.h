#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;
class QKeyEvent;

// Draws the grid's cells and edits them in place: the editor is a line edit whose text goes
// into its cell with every keystroke, so the cell always holds what the operator sees typed.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // view: the grid whose cells are edited; Tab in an editor hands the focus on from it.
    explicit CellDelegate(QAbstractItemView& view);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  signals:
    // Every key pressed in an open editor but Enter, before the editor handles it.
    void editorKeyPress(const QKeyEvent& event);

  protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

  private:
    QAbstractItemView& view;
};
