#include "monitor/RegisterGridModel.h"
#include "core/RuntimeErrors.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// The model on an image of its own; what a view asks for, and the change signals it gets.
class RegisterGridModelTest : public testing::Test {
  protected:
    QString shown(std::int32_t reg) const {
        return cells.index(reg / 10, reg % 10).data().toString();
    }
    void type(std::int32_t reg, const QString& text) {
        cells.setData(cells.index(reg / 10, reg % 10), text, Qt::EditRole);
    }
    // The changed area of each signal as (first row, first column, last row, last column).
    std::vector<std::array<int, 4>> changes() const {
        std::vector<std::array<int, 4>> areas;
        for (const QList<QVariant>& signal : changed) {
            const QModelIndex from = signal[0].toModelIndex();
            const QModelIndex to = signal[1].toModelIndex();
            areas.push_back({from.row(), from.column(), to.row(), to.column()});
        }
        return areas;
    }

    RegisterImage image;
    RegisterGridModel cells{image};
    QSignalSpy changed{&cells, &RegisterGridModel::dataChanged};
};

TEST_F(RegisterGridModelTest, ARunIsOneChangeAndARepeatedRunNone) {
    const std::array<std::uint16_t, 12> values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    cells.store(1005, values);
    cells.store(1005, values);
    cells.store(1007, std::array<std::uint16_t, 1>{3});
    EXPECT_EQ(changes(), (std::vector<std::array<int, 4>>{{100, 0, 101, 9}}));
    EXPECT_EQ(shown(1005), QStringLiteral("0001"));
    EXPECT_EQ(shown(1016), QStringLiteral("000C"));
    EXPECT_EQ(shown(1017), QString());
}

TEST_F(RegisterGridModelTest, TheCellBeingTypedIntoKeepsItsTextAndTheImageTakesTheValue) {
    const std::array<std::uint16_t, 3> first{0x11, 0x22, 0x33}, second{0x44, 0x55, 0x66},
        third{0x77, 0x88, 0x99};
    cells.store(20, first);
    type(22, QStringLiteral("f"));
    cells.store(20, second, 22);
    EXPECT_EQ(shown(22), QStringLiteral("f"));
    cells.store(20, third, 21); // an editor still showing the value keeps the value it showed
    EXPECT_EQ(shown(20), QStringLiteral("0077"));
    EXPECT_EQ(shown(21), QStringLiteral("0055"));
    EXPECT_EQ(shown(22), QStringLiteral("0099")) << "typed text goes once its editor is closed";
    EXPECT_EQ(image.at(21), 0x88);
}

TEST_F(RegisterGridModelTest, ARunPastTheImageShowsWhatItStoredThenRaises) {
    const std::vector<std::uint16_t> values(20, 0xABCD);
    EXPECT_THROW(cells.store(31990, values), RangeError);
    EXPECT_EQ(image.at(32000), 0xABCD);
    EXPECT_EQ(shown(32000), QStringLiteral("ABCD"));
    EXPECT_EQ(shown(32001), QString());
    EXPECT_EQ(changes(), (std::vector<std::array<int, 4>>{{3199, 0, 3200, 9}}));
    EXPECT_THROW(cells.store(-1, values), RangeError);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(RegisterGridModelTest, ClearEmptiesValuesAndTypedTextsInOneChange) {
    cells.store(0, std::array<std::uint16_t, 2>{7, 8});
    type(32009, QStringLiteral("zz"));
    changed.clear();
    cells.clear();
    EXPECT_EQ(changes(), (std::vector<std::array<int, 4>>{{0, 0, 3200, 9}}));
    EXPECT_EQ(shown(0), QString());
    EXPECT_EQ(shown(32009), QString());
    EXPECT_EQ(image.at(1), 8);
    cells.showValue(1);
    EXPECT_EQ(shown(1), QStringLiteral("0008"));
}

TEST_F(RegisterGridModelTest, TypedTextIsShownUntilTheValueIsShownAgain) {
    type(5, QStringLiteral("12x"));
    type(5, QStringLiteral("12x")); // unchanged: no repaint
    EXPECT_EQ(shown(5), QStringLiteral("12x"));
    EXPECT_EQ(cells.text(5), QStringLiteral("12x"));
    cells.showValue(5);
    EXPECT_EQ(shown(5), QStringLiteral("0000"));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_THROW(cells.showValue(32001), RangeError);
}

} // namespace
