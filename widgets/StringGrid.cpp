#include "widgets/StringGrid.h"

#include "widgets/CellDelegate.h"
#include "widgets/PlainCellStyle.h"
#include "widgets/TypedCharacter.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleOptionHeader>
#include <QStylePainter>

namespace {

bool isPress(const QEvent& event) {
    return event.type() == QEvent::MouseButtonPress || event.type() == QEvent::MouseButtonDblClick;
}

// The labels keep the size the grid fixes for them, which a plain header would still measure
// on every layout of the view: its size hint shapes the texts of up to 200 labels.
class LabelHeader : public QHeaderView {
  public:
    using QHeaderView::QHeaderView;
    QSize sizeHint() const override { return minimumSize(); }
};

// A data index of the view (-1 beyond the last section) as a grid index.
int gridIndex(int dataIndex) {
    return dataIndex < 0 ? -1 : dataIndex + 1;
}

} // namespace

StringGrid::StringGrid(QWidget* parent) : QTableView(parent) {
    setHorizontalHeader(new LabelHeader(Qt::Horizontal, this));
    setVerticalHeader(new LabelHeader(Qt::Vertical, this));
    auto* delegate = new CellDelegate(*this);
    setItemDelegate(delegate);
    setUpHeaders();
    auto* cellStyle = new PlainCellStyle;
    cellStyle->setParent(this);
    setStyle(cellStyle);
    // The view keeps a pixel for each grid line, which paintEvent fills.
    setGridStyle(Qt::NoPen);
    setSelectionMode(ContiguousSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Whole rows only: the top row is never cut, and the last rows fit whole above a strip
    // where a click hits no cell. The view moves its header and its cells together.
    setVerticalScrollMode(ScrollPerItem);
    cornerButton = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* labels : std::initializer_list<QWidget*>{
             cornerButton, horizontalHeader()->viewport(), verticalHeader()->viewport()})
        labels->installEventFilter(this);
    connect(delegate, &CellDelegate::editorKeyPress, this, [this](const QKeyEvent& event) {
        // The key that opened the editor was announced by the grid before it passed it on.
        if (!forwardingKey) announceKey(event);
    });
}

StringGrid::~StringGrid() = default;

void StringGrid::setUpHeaders() {
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->setTextElideMode(Qt::ElideNone);
    }
    horizontalHeader()->setDefaultSectionSize(DefaultColWidth);
    horizontalHeader()->setFixedHeight(DefaultRowHeight);
    // Below the style's own minimum (the label font's height and margins: 20 px in the Windows
    // style) the default size would not take.
    verticalHeader()->setMinimumSectionSize(DefaultRowHeight);
    verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    verticalHeader()->setFixedWidth(DefaultColWidth);
}

void StringGrid::setDoubleBuffered(bool on) {
    viewport()->setAttribute(Qt::WA_PaintOnScreen, !on);
}

bool StringGrid::isDoubleBuffered() const {
    return !viewport()->testAttribute(Qt::WA_PaintOnScreen);
}

QString StringGrid::cornerText() const {
    return corner;
}

void StringGrid::setCornerText(const QString& text) {
    corner = text;
    cornerButton->update();
}

bool StringGrid::isEditing() const {
    return state() == EditingState;
}

int StringGrid::col() const {
    return currentIndex().column() + 1;
}

int StringGrid::row() const {
    return currentIndex().row() + 1;
}

void StringGrid::setCurrentCell(int col, int row) {
    const QModelIndex cell = model()->index(row - 1, col - 1);
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    scrollTo(cell);
}

int StringGrid::topRow() const {
    return rowAt(0) + 1;
}

void StringGrid::setTopRow(int row) {
    scrollTo(model()->index(row - 1, 0), PositionAtTop);
}

QRect StringGrid::selection() const {
    QRect box;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        box |= QRect(QPoint(range.left() + 1, range.top() + 1),
                     QPoint(range.right() + 1, range.bottom() + 1));
    return box;
}

void StringGrid::mouseToCell(int x, int y, int& col, int& row) const {
    const QPoint point = viewport()->mapFrom(this, QPoint(x, y) + contentsRect().topLeft());
    col = point.x() < 0 ? 0 : gridIndex(columnAt(point.x()));
    row = point.y() < 0 ? 0 : gridIndex(rowAt(point.y()));
    if (col < 0 || row < 0) col = row = -1;
}

bool StringGrid::isLabelArea(const QObject* widget) const {
    return widget == cornerButton || widget == horizontalHeader()->viewport() ||
           widget == verticalHeader()->viewport();
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cornerButton && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    if (isLabelArea(watched) && isPress(*event)) {
        // Swallowed: the view would select a whole row, column or the whole grid.
        announceMouseDown(*static_cast<QWidget*>(watched), static_cast<QMouseEvent&>(*event));
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

bool StringGrid::viewportEvent(QEvent* event) {
    const bool handled = QTableView::viewportEvent(event);
    // After the view's own handling, so a click has moved the current cell already.
    if (isPress(*event)) announceMouseDown(*viewport(), static_cast<QMouseEvent&>(*event));
    return handled;
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    // Keys typed into an open editor were announced by it, all but Enter: the editor hands
    // that on to the grid untouched, so its handler runs here, after the editor is done with
    // the key. A box the handler opens takes the focus, and the view then deletes the editor.
    const bool enter = typedCharacter(*event) == QChar(13);
    if (state() != EditingState || enter) announceKey(*event);
    if (enter && state() == EditingState) return finishEditing();
    const QScopedValueRollback forwarding(forwardingKey, true);
    QTableView::keyPressEvent(event);
}

void StringGrid::finishEditing() {
    QWidget* editor = indexWidget(currentIndex());
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void StringGrid::updateGeometries() {
    QTableView::updateGeometries();
    // The labels end with the last whole row. Scrolled to its end, the view lays the last row
    // flush with the labels' bottom, so the top row stays whole and a strip below the last
    // row, where a click hits no cell, stays free.
    QHeaderView& labels = *verticalHeader();
    labels.resize(labels.width(), viewport()->height() / DefaultRowHeight * DefaultRowHeight);
}

void StringGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    paintGridLines(event->region());
}

// The lines below each row and right of each column, up to the last row and column: as the
// view would draw them, as fills, which take a tenth of the time of its one-pixel lines.
void StringGrid::paintGridLines(const QRegion& region) {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor color = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QRect cellsArea(0, 0, horizontalHeader()->length() - horizontalHeader()->offset(),
                          verticalHeader()->length() - verticalHeader()->offset());
    QPainter painter(viewport());
    for (const QRect& dirty : region) {
        const QRect area = dirty & cellsArea;
        if (area.isEmpty()) continue;
        for (int row = rowAt(area.top()), last = rowAt(area.bottom()); row <= last; ++row) {
            const int y = rowViewportPosition(row) + rowHeight(row) - 1;
            painter.fillRect(QRect(area.left(), y, area.width(), 1) & area, color);
        }
        for (int col = columnAt(area.left()), last = columnAt(area.right()); col <= last; ++col) {
            const int x = columnViewportPosition(col) + columnWidth(col) - 1;
            painter.fillRect(QRect(x, area.top(), 1, area.height()) & area, color);
        }
    }
}

void StringGrid::announceKey(const QKeyEvent& event) {
    const QChar key = typedCharacter(event);
    if (!key.isNull()) emit keyPress(key);
}

void StringGrid::announceMouseDown(const QWidget& source, const QMouseEvent& event) {
    const QPoint point = source.mapTo(this, event.position().toPoint()) - contentsRect().topLeft();
    emit mouseDown(event.button(), event.modifiers(), point.x(), point.y());
}

void StringGrid::paintCorner() {
    QStylePainter painter(cornerButton);
    QStyleOptionHeader option;
    option.initFrom(cornerButton);
    option.rect = cornerButton->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = corner;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    painter.drawControl(QStyle::CE_Header, option);
}
