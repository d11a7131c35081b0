#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>

// What the operator does with keyboard and mouse, as real input events to the widgets that
// would get them, and what the operator reads in a log pane.
namespace Operator {

// Key by key to whichever widget has the focus, each key carrying its character, so that
// umlauts and other non-ASCII text arrive as typed.
inline void type(const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                            Qt::Key(c.toUpper().unicode()), QString(c), {});
}

inline void press(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

// A click on the data cell in column col of row row (1-based, labels excluded), scrolled
// into view first as the operator would.
inline void clickCell(QAbstractItemView* grid, int col, int row,
                      Qt::MouseButton button = Qt::LeftButton) {
    const QModelIndex index = grid->model()->index(row - 1, col - 1);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), button, {}, grid->visualRect(index).center());
}

// A click at a point of the grid's client area (inside its frame), landing on whichever
// child lies there: labels, scroll bars and empty strips included.
inline void clickAt(QAbstractItemView* grid, QPoint client,
                    Qt::MouseButton button = Qt::LeftButton) {
    const QPoint inGrid = client + grid->contentsRect().topLeft();
    QWidget* target = grid->childAt(inGrid);
    if (!target) target = grid;
    QTest::mouseClick(target, button, {}, target->mapFrom(grid, inGrid));
}

// The text the grid paints in the data cell in column col of row row (1-based, labels
// excluded).
inline QString cellText(const QAbstractItemView* grid, int col, int row) {
    return grid->model()->index(row - 1, col - 1).data().toString();
}

// The pane's lines, without the empty one after the final line break.
inline QStringList linesOf(const QPlainTextEdit* pane) {
    QStringList lines = pane->toPlainText().split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace Operator
