#include "widgets/StringGrid.h"

#include "tests/support/Operator.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Operator::press;
using Operator::type;

constexpr int Cols = 11;
constexpr int Rows = 3202;
constexpr int ColWidth = StringGrid::DefaultColWidth;
constexpr int RowHeight = StringGrid::DefaultRowHeight;

// A model of the main window grid's size that keeps whatever text is set into a cell.
QStandardItemModel* textModel(QObject* parent) {
    return new QStandardItemModel(Rows - 1, Cols - 1, parent);
}

// A grid of the main window's size and shape in a window of its own, with a field after
// it in the tab order.
class StringGridTest : public testing::Test {
  protected:
    StringGridTest() {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(grid);
        layout->addWidget(next);
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setPixelSize(13);
        grid->setFont(font);
        grid->setFixedSize(553, 345);
        grid->setModel(cells);
        window.show();
        QApplication::setActiveWindow(&window);
        (void)QTest::qWaitForWindowExposed(&window);
        grid->setFocus();
        grid->setCurrentCell(1, 1);
    }

    // The centre of a data cell in the viewport, for a cell in view.
    QPoint cellCentre(int col, int row) const {
        return grid->visualRect(grid->model()->index(row - 1, col - 1)).center();
    }

    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

    QString cell(int col, int row) const {
        return cells->index(row - 1, col - 1).data().toString();
    }
    void setCell(int col, int row, const QString& text) {
        cells->setData(cells->index(row - 1, col - 1), text);
    }

    // The point of the grid's client area that lies at point of widget.
    QPoint clientPoint(const QWidget* widget, QPoint point) const {
        return widget->mapTo(grid, point) - grid->contentsRect().topLeft();
    }

    void clickAt(QPoint client, Qt::MouseButton button = Qt::LeftButton) {
        Operator::clickAt(grid, client, button);
    }

    QWidget window;
    StringGrid* grid = new StringGrid;
    QStandardItemModel* cells = textModel(grid);
    QLineEdit* next = new QLineEdit;
};

QString keys(const QSignalSpy& spy) {
    QString typed;
    for (const QList<QVariant>& arguments : spy)
        typed += arguments[0].value<QChar>();
    return typed;
}

// Every style the toolkit offers here (Windows's own among them) keeps the 18-px rows the
// window's layout counts on, although some would make them as high as their labels' font.
TEST(StringGridStyles, RowsKeepTheirHeightUnderEveryStyle) {
    const QString original = QApplication::style()->name();
    for (const QString& name : QStyleFactory::keys()) {
        QApplication::setStyle(name);
        StringGrid grid;
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setPixelSize(13);
        grid.setFont(font);
        grid.setModel(textModel(&grid));
        grid.show();
        EXPECT_EQ(grid.rowHeight(0), RowHeight) << name.toStdString();
        EXPECT_EQ(grid.horizontalHeader()->height(), RowHeight) << name.toStdString();
    }
    QApplication::setStyle(original);
}

TEST_F(StringGridTest, EachTypedCharacterIsAnnouncedOnceEditingOrNot) {
    QSignalSpy typed(grid, &StringGrid::keyPress);
    type(QStringLiteral("1a")); // the first key opens the editor
    ASSERT_NE(editor(), nullptr);
    press(Qt::Key_Return);
    QTest::qWait(0); // the editor closes after Enter
    EXPECT_EQ(editor(), nullptr);
    press(Qt::Key_Return);
    press(Qt::Key_Enter);
    type(QStringLiteral("b"));
    press(Qt::Key_Enter);
    EXPECT_EQ(keys(typed), QStringLiteral("1a\r\r\rb\r"));
}

TEST_F(StringGridTest, KeysWithoutCharacterAreNotAnnounced) {
    QSignalSpy typed(grid, &StringGrid::keyPress);
    press(Qt::Key_Down);
    press(Qt::Key_F2); // opens the editor
    press(Qt::Key_Left);
    EXPECT_EQ(typed.count(), 0);
}

TEST_F(StringGridTest, CellTextFollowsTypingWithoutCursorJumps) {
    type(QStringLiteral("abcd"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("abcd"));
    press(Qt::Key_Left);
    press(Qt::Key_Left);
    type(QStringLiteral("xy"));
    EXPECT_EQ(editor()->text(), QStringLiteral("abxycd"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("abxycd"));
    press(Qt::Key_Backspace);
    EXPECT_EQ(cell(1, 1), QStringLiteral("abxcd"));
}

TEST_F(StringGridTest, TypingReplacesTheTextOfACellThatWasNotBeingEdited) {
    setCell(1, 1, QStringLiteral("1234"));
    type(QStringLiteral("f"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("f"));
}

TEST_F(StringGridTest, AnOpenEditorFollowsANewTextOfItsCell) {
    type(QStringLiteral("ab"));
    EXPECT_TRUE(grid->isEditing());
    setCell(1, 1, QStringLiteral("00FF"));
    EXPECT_EQ(editor()->text(), QStringLiteral("00FF"));
    press(Qt::Key_Return);
    QTest::qWait(0);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(cell(1, 1), QStringLiteral("00FF"));
}

TEST_F(StringGridTest, EscapeClosesTheEditorAndIsAnnounced) {
    QSignalSpy typed(grid, &StringGrid::keyPress);
    type(QStringLiteral("a"));
    press(Qt::Key_Escape);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(keys(typed), QStringLiteral("a\x1b"));
}

TEST_F(StringGridTest, TabLeavesTheGrid) {
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
}

TEST_F(StringGridTest, TabLeavesTheGridFromAnOpenEditorKeepingTheTypedText) {
    type(QStringLiteral("12"));
    press(Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(cell(1, 1), QStringLiteral("12"));
    EXPECT_EQ(grid->col(), 1) << "Tab must not move to the next cell";
}

// The grid paints its lines itself: right of and below every cell, in the style's colour,
// and not on into the strip below the last row.
TEST_F(StringGridTest, GridLinesCloseEveryCellUpToTheLastRow) {
    grid->setTopRow(Rows - 1);
    QStyleOptionViewItem option;
    option.initFrom(grid);
    const QRgb line = QColor::fromRgba(static_cast<QRgb>(grid->style()->styleHint(
                                           QStyle::SH_Table_GridLineColor, &option, grid)))
                          .rgb();
    const QImage shown = grid->viewport()->grab().toImage();
    const QRect last = grid->visualRect(cells->index(Rows - 2, 2));
    EXPECT_EQ(shown.pixel(last.right() + 1, last.center().y()), line);
    EXPECT_EQ(shown.pixel(last.center().x(), last.bottom() + 1), line);
    EXPECT_NE(shown.pixel(last.center()), line);
    EXPECT_NE(shown.pixel(last.right() + 1, last.bottom() + 2), line);
}

TEST_F(StringGridTest, SettingTheCurrentCellShrinksTheSelectionAndShowsTheCell) {
    grid->setCurrentCell(4, 2);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid->selection(), QRect(QPoint(4, 2), QPoint(5, 3)));
    grid->setCurrentCell(7, 2500);
    EXPECT_EQ(grid->col(), 7);
    EXPECT_EQ(grid->row(), 2500);
    EXPECT_EQ(grid->selection(), QRect(QPoint(7, 2500), QPoint(7, 2500)));
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
}

// What the window shows of the grid (its backing store, where scrolling moves pixels that
// are not painted again) must equal a fresh render of it: every value under its own label.
class PaintedScrolling : public StringGridTest {
  protected:
    PaintedScrolling() {
        for (int row = 1; row < Rows; ++row) {
            cells->setHeaderData(row - 1, Qt::Vertical, QString::number((row - 1) * 10));
            for (int col = 1; col < Cols; ++col)
                setCell(col, row, QString::number(((row - 1) * 10 + col - 1) % 10000));
        }
        grid->setTopRow(101);
        grid->setCurrentCell(4, 118); // in the last whole row of the view
        settle();
    }

    static void settle() {
        for (int pass = 0; pass < 3; ++pass)
            QApplication::processEvents();
    }

    // Qt's partial repaint of the old and the new current cell may leave a grid-line corner
    // pixel or two; a value under another row's label differs in hundreds.
    void expectShownAsRendered(const char* step) {
        settle();
        const QRect area(grid->mapTo(&window, QPoint()), grid->size());
        const QImage shown = window.screen()->grabWindow(window.winId()).toImage().copy(area);
        EXPECT_LE(differingPixels(shown, grid->grab().toImage()), 4) << "after " << step;
        const int top = grid->topRow();
        EXPECT_EQ(grid->rowViewportPosition(top - 1), 0) << "top row cut after " << step;
    }

    static int differingPixels(const QImage& a, const QImage& b) {
        const QImage left = a.convertToFormat(QImage::Format_RGB32);
        const QImage right = b.convertToFormat(QImage::Format_RGB32);
        if (left.size() != right.size()) return left.width() * left.height();
        int count = 0;
        for (int y = 0; y < left.height(); ++y)
            for (int x = 0; x < left.width(); ++x)
                count += left.pixel(x, y) != right.pixel(x, y);
        return count;
    }

    void dragSlider(int pixels) {
        QScrollBar& bar = *grid->verticalScrollBar();
        QStyleOptionSlider option;
        option.initFrom(&bar);
        option.orientation = Qt::Vertical;
        option.minimum = bar.minimum();
        option.maximum = bar.maximum();
        option.sliderPosition = option.sliderValue = bar.value();
        option.pageStep = bar.pageStep();
        const QPoint handle =
            bar.style()
                ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar)
                .center();
        QTest::mousePress(&bar, Qt::LeftButton, {}, handle);
        QTest::mouseMove(&bar, handle + QPoint(0, pixels));
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, handle + QPoint(0, pixels));
    }
};

TEST_F(PaintedScrolling, EveryWayOfScrollingKeepsValuesUnderTheirLabels) {
    QScrollBar& bar = *grid->verticalScrollBar();
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"Down at the bottom row", [&] { press(Qt::Key_Down); }},
        {"Down again", [&] { press(Qt::Key_Down); }},
        {"Page Down", [&] { press(Qt::Key_PageDown); }},
        {"Page Up", [&] { press(Qt::Key_PageUp); }},
        {"Up at the top row",
         [&] {
             grid->setCurrentCell(4, grid->topRow());
             press(Qt::Key_Up);
         }},
        {"Ctrl+End", [&] { QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier); }},
        {"Ctrl+Home", [&] { QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier); }},
        {"the scroll bar's lower arrow",
         [&] { QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(5, bar.height() - 5)); }},
        {"a slider drag of 7 pixels", [&] { dragSlider(7); }},
        {"a slider drag of 123 pixels", [&] { dragSlider(123); }},
        {"the wheel",
         [&] {
             QWheelEvent wheel(QPointF(50, 50), grid->viewport()->mapToGlobal(QPointF(50, 50)),
                               QPoint(0, -7), QPoint(0, -40), Qt::NoButton, {}, Qt::NoScrollPhase,
                               false);
             QApplication::sendEvent(grid->viewport(), &wheel);
         }},
        {"a new top row", [&] { grid->setTopRow(2000); }},
        {"the last top row", [&] { grid->setTopRow(Rows - 1); }},
    };
    for (const auto& [name, scroll] : steps) {
        const int before = bar.value();
        scroll();
        EXPECT_NE(bar.value(), before) << name << " did not scroll";
        expectShownAsRendered(name);
    }
}

struct PointCase {
    const char* name;
    int x, y; // in the grid's client area, data scrolled to row 101
    int col, row;
};

class MouseToCell : public StringGridTest, public testing::WithParamInterface<PointCase> {};

TEST_P(MouseToCell, GivesLabelDataOrBeyond) {
    grid->setTopRow(101);
    const PointCase& c = GetParam();
    int col = 99, row = 99;
    grid->mouseToCell(c.x, c.y, col, row);
    EXPECT_EQ(col, c.col);
    EXPECT_EQ(row, c.row);
}

INSTANTIATE_TEST_SUITE_P(
    Points, MouseToCell,
    testing::Values(PointCase{"Corner", 5, 5, 0, 0},
                    PointCase{"LabelColumn", 5, 2 * RowHeight + 3, 0, 102},
                    PointCase{"LabelRow", 3 * ColWidth + 3, 5, 3, 0},
                    PointCase{"FirstDataCell", ColWidth, RowHeight, 1, 101},
                    PointCase{"LastPixelOfACell", 2 * ColWidth - 1, 2 * RowHeight - 1, 1, 101},
                    PointCase{"LastColumn", 10 * ColWidth + 5, RowHeight + 5, 10, 101},
                    PointCase{"RightOfTheLastColumn", 11 * ColWidth + 2, RowHeight + 5, -1, -1},
                    PointCase{"RightOfTheLastColumnOnTheLabelRow", 11 * ColWidth + 2, 5, -1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StringGridTest, BelowTheLastRowThereIsAStripOfNoCell) {
    grid->setTopRow(Rows - 1);
    const int lastRowBottom = grid->rowViewportPosition(Rows - 2) + RowHeight;
    ASSERT_LT(lastRowBottom, grid->viewport()->height());
    const QPoint belowLastRow = clientPoint(grid->viewport(), {ColWidth, lastRowBottom});
    int col = 0, row = 0;
    grid->mouseToCell(belowLastRow.x(), belowLastRow.y(), col, row);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    const QPoint onLastRow = clientPoint(grid->viewport(), {ColWidth, lastRowBottom - 1});
    grid->mouseToCell(onLastRow.x(), onLastRow.y(), col, row);
    EXPECT_EQ(row, Rows - 1);
}

TEST_F(StringGridTest, PressOnADataCellIsAnnouncedAfterTheGridMovedToIt) {
    grid->setTopRow(101);
    int currentAtPress = 0;
    int col = 0, row = 0;
    QObject::connect(grid, &StringGrid::mouseDown, grid,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
                         currentAtPress = grid->row();
                         grid->mouseToCell(x, y, col, row);
                     });
    QSignalSpy presses(grid, &StringGrid::mouseDown);
    clickAt(clientPoint(grid->viewport(), cellCentre(4, 103)));
    ASSERT_EQ(presses.count(), 1);
    EXPECT_EQ(presses[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(currentAtPress, 103);
    EXPECT_EQ(col, 4);
    EXPECT_EQ(row, 103);
}

TEST_F(StringGridTest, EveryButtonAndTheDoubleClickAreAnnounced) {
    QSignalSpy presses(grid, &StringGrid::mouseDown);
    const QPoint cell = cellCentre(2, 2);
    QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::ShiftModifier, cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell); // the second press only
    ASSERT_EQ(presses.count(), 2);
    EXPECT_EQ(presses[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(presses[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(presses[1][0].value<Qt::MouseButton>(), Qt::LeftButton);
}

struct LabelPress {
    const char* name;
    int x, y; // in the grid's client area
};

class PressOnLabels : public StringGridTest, public testing::WithParamInterface<LabelPress> {};

TEST_P(PressOnLabels, AreAnnouncedButSelectNothing) {
    grid->setCurrentCell(4, 5);
    const LabelPress& c = GetParam();
    QSignalSpy presses(grid, &StringGrid::mouseDown);
    clickAt({c.x, c.y});
    ASSERT_EQ(presses.count(), 1);
    EXPECT_EQ(presses[0][2].toInt(), c.x);
    EXPECT_EQ(presses[0][3].toInt(), c.y);
    EXPECT_EQ(grid->selection(), QRect(QPoint(4, 5), QPoint(4, 5)));
    EXPECT_EQ(grid->row(), 5);
}

INSTANTIATE_TEST_SUITE_P(Labels, PressOnLabels,
                         testing::Values(LabelPress{"Corner", 10, 9},
                                         LabelPress{"ColumnLabel", 3 * ColWidth + 10, 9},
                                         LabelPress{"RowLabel", 10, 3 * RowHeight + 9}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
