#include "widgets/CellDelegate.h"

#include "widgets/TypedCharacter.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
constexpr int TextMargin = 2;
}

CellDelegate::CellDelegate(QAbstractItemView& view) : QStyledItemDelegate(&view), view(view) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    connect(editor, &QLineEdit::textEdited, this,
            [&view = view, cell = QPersistentModelIndex(index)](const QString& text) {
                view.model()->setData(cell, text);
            });
    return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto& line = static_cast<QLineEdit&>(*editor);
    const QString text = index.data(Qt::EditRole).toString();
    // The view refreshes an open editor after every change of its cell, the editor's own
    // keystrokes included, and setText would move the cursor to the end.
    if (line.text() != text) line.setText(text);
}

bool CellDelegate::eventFilter(QObject* editor, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(editor, event);
    auto& key = static_cast<QKeyEvent&>(*event);
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) {
        // Tab leaves the grid from an editor too, instead of moving on to the next cell.
        auto* widget = static_cast<QWidget*>(editor);
        emit commitData(widget);
        emit closeEditor(widget);
        QCoreApplication::sendEvent(&view, event);
        return true;
    }
    // Enter goes on to the grid, which runs its handler and then closes the editor itself:
    // the base class would queue a second close for an editor that may be gone by then.
    if (typedCharacter(key) == QChar(13)) return false;
    emit editorKeyPress(key);
    return QStyledItemDelegate::eventFilter(editor, event);
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    // Plain text on a plain cell: the style's item drawing lays out every text for eliding,
    // which made repainting the visible cells three times slower.
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) painter->fillRect(option.rect, option.palette.highlight());
    const QString text = index.data().toString();
    if (text.isEmpty()) return;
    // The view clips nothing itself, so a long text is kept to its cell here.
    painter->setClipRect(option.rect);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics& metrics = option.fontMetrics;
    const int baseline =
        option.rect.top() + (option.rect.height() + metrics.ascent() - metrics.descent()) / 2;
    painter->drawText(QPoint(option.rect.left() + TextMargin, baseline), text);
    painter->setClipping(false);
}
