#include "monitor/RegisterGrid.h"
#include "core/RuntimeErrors.h"
#include "monitor/AnswerHandlers.h"
#include "monitor/RegisterImage.h"
#include "tests/support/CountingValues.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/MonitorWindow.h"
#include "widgets/PanelButton.h"

#include <gtest/gtest.h>

namespace {

const QString Target = QStringLiteral("127.0.0.40");

class RegisterGridTest : public testing::Test {
  protected:
    DialogRecorder dialogs;
    MonitorWindow window{Target};
    StringGrid& grid = *window->Grid1;
};

TEST_F(RegisterGridTest, FreshStartShowsLabelsEmptyCellsAndTheStartRow) {
    EXPECT_EQ(grid.model()->columnCount(), 10);
    EXPECT_EQ(grid.model()->rowCount(), 3201);
    EXPECT_EQ(window.shown(0, 0), QStringLiteral("Regist."));
    EXPECT_EQ(window.shown(0, 1), QStringLiteral(" 0"));
    EXPECT_EQ(window.shown(0, 2), QStringLiteral(" 10"));
    EXPECT_EQ(window.shown(0, 101), QStringLiteral(" 1000"));
    EXPECT_EQ(window.shown(0, 3201), QStringLiteral(" 32000"));
    for (int col = 1; col <= 10; ++col)
        EXPECT_EQ(window.shown(col, 0), QStringLiteral(" +%1").arg(col - 1));
    EXPECT_TRUE(window.filledCells().isEmpty());
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.row(), 101);
    EXPECT_EQ(grid.topRow(), 101);
    EXPECT_EQ(SelRow, 99);
    EXPECT_EQ(SelCol, 0);
    EXPECT_TRUE(grid.isDoubleBuffered());
}

struct Store {
    std::int32_t reg;
    std::uint16_t value;
    int col, row;
    const char* text;
};

class StoreRegisterTest : public RegisterGridTest, public testing::WithParamInterface<Store> {};

TEST_P(StoreRegisterTest, FillsImageAndCell) {
    const Store& s = GetParam();
    StoreRegister(s.reg, s.value);
    EXPECT_EQ(RegImage.at(s.reg), s.value);
    EXPECT_EQ(window.shown(s.col, s.row), QString::fromLatin1(s.text));
    EXPECT_EQ(window.filledCells().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Corners, StoreRegisterTest,
                         testing::Values(Store{0, 0, 1, 1, "0000"}, Store{9, 10, 10, 1, "000A"},
                                         Store{10, 0xBEEF, 1, 2, "BEEF"},
                                         Store{32000, 65535, 1, 3201, "FFFF"}),
                         [](const auto& info) {
                             return "Register" + std::to_string(info.param.reg);
                         });

TEST_F(RegisterGridTest, StoreBeyondTheImageWritesNothing) {
    for (const std::int32_t reg : {-1, 32001, 32009}) {
        EXPECT_THROW(StoreRegister(reg, 0x1234), RangeError) << reg;
    }
    EXPECT_TRUE(window.filledCells().isEmpty());
}

struct StartRow {
    std::int32_t startReg;
    std::int32_t selRow;
    int row;
};

class ShowStartRowTest : public RegisterGridTest, public testing::WithParamInterface<StartRow> {};

TEST_P(ShowStartRowTest, PutsTheStartRegistersRowOnTop) {
    const StartRow& s = GetParam();
    grid.setCurrentCell(7, 3000);
    StartReg = s.startReg;
    ShowStartRow();
    EXPECT_EQ(SelRow, s.selRow);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.row(), s.row);
    EXPECT_EQ(grid.selection(), QRect(QPoint(1, s.row), QPoint(1, s.row)));
    EXPECT_EQ(grid.topRow(), s.row);
}

INSTANTIATE_TEST_SUITE_P(StartRegisters, ShowStartRowTest,
                         testing::Values(StartRow{0, 0, 2}, StartRow{9, 0, 2}, StartRow{10, 0, 2},
                                         StartRow{25, 1, 3}, StartRow{1000, 99, 101},
                                         StartRow{30000, 2999, 3001}),
                         [](const auto& info) {
                             return "StartReg" + std::to_string(info.param.startReg);
                         });

TEST_F(RegisterGridTest, StartRowNearTheEndStaysInView) {
    StartReg = 32000;
    ShowStartRow();
    EXPECT_EQ(SelRow, 3199);
    EXPECT_EQ(grid.row(), 3201);
    EXPECT_LE(grid.topRow(), 3201);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
}

TEST_F(RegisterGridTest, ClearGridEmptiesTheDataCellsOnly) {
    for (std::int32_t reg = 0; reg <= 32000; reg += 7)
        StoreRegister(reg, 0xA5A5);
    grid.setCurrentCell(3, 150);
    grid.setTopRow(140);
    SelCol = 4;
    SelRow = 103;
    QTest::mouseClick(window->ClrGridPanel, Qt::LeftButton);
    EXPECT_TRUE(window.filledCells().isEmpty());
    EXPECT_EQ(window.shown(0, 0), QStringLiteral("Regist."));
    EXPECT_EQ(window.shown(0, 3201), QStringLiteral(" 32000"));
    EXPECT_EQ(window.shown(10, 0), QStringLiteral(" +9"));
    EXPECT_EQ(RegImage.at(7), 0xA5A5);
    EXPECT_EQ(RegImage.at(31997), 0xA5A5);
    EXPECT_EQ(grid.col(), 3);
    EXPECT_EQ(grid.row(), 150);
    EXPECT_EQ(grid.topRow(), 140);
    EXPECT_EQ(SelCol, 4);
    EXPECT_EQ(SelRow, 103);
}

TEST_F(RegisterGridTest, AfterClearGridAnAnswerShowsOnlyItsOwnCells) {
    for (std::int32_t reg = 900; reg < 1300; ++reg)
        StoreRegister(reg, 0x1111);
    window->ClrGridPanelClick();
    OnF3Answer(0, 100, countingValues(0x2000));
    const QList<QPoint> filled = window.filledCells();
    ASSERT_EQ(filled.size(), 100);
    EXPECT_EQ(filled.front(), QPoint(1, 101));
    EXPECT_EQ(filled.back(), QPoint(10, 110));
    EXPECT_EQ(window.shown(4, 101), QStringLiteral("2003"));
    EXPECT_EQ(RegImage.at(1003), 0x2003);
    EXPECT_EQ(RegImage.at(1100), 0x1111) << "a cleared register keeps its value";
}

} // namespace
