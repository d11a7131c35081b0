#include "core/CheckedMath.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();

TEST(RuntimeErrors, CarryTheOperatorsGermanMessages) {
    EXPECT_STREQ(RangeError().what(), "Fehler bei Bereichsprüfung");
    EXPECT_STREQ(OverflowError().what(), "Integerüberlauf");
    EXPECT_STREQ(ConvertError("0x1G").what(), "'0x1G' ist kein gültiger Integerwert");
    EXPECT_STREQ(ConvertError("").what(), "'' ist kein gültiger Integerwert");
}

struct RangeCase {
    std::int64_t value, lo, hi;
    bool inRange;
};

class CheckedRange : public testing::TestWithParam<RangeCase> {};

TEST_P(CheckedRange, AcceptsBoundsAndRefusesOneBeyond) {
    const auto [value, lo, hi, inRange] = GetParam();
    if (inRange)
        EXPECT_EQ(checkedRange(value, lo, hi), value);
    else
        EXPECT_THROW(checkedRange(value, lo, hi), RangeError);
}

INSTANTIATE_TEST_SUITE_P(Bounds, CheckedRange,
                         testing::Values(RangeCase{0, 0, 32000, true},
                                         RangeCase{32000, 0, 32000, true},
                                         RangeCase{-1, 0, 32000, false},
                                         RangeCase{32001, 0, 32000, false},
                                         RangeCase{-5, -5, -5, true}));

TEST(CheckedWord, CoversExactlyTheUnsigned16BitRange) {
    EXPECT_EQ(checkedWord(0), 0);
    EXPECT_EQ(checkedWord(65535), 65535);
    EXPECT_THROW(checkedWord(-1), RangeError);
    EXPECT_THROW(checkedWord(65536), RangeError);
}

// Both stay usable in constant expressions.
static_assert(checkedAdd32(Max32 - 1, 1) == Max32 && checkedSub32(-1, Min32) == Max32);

TEST(Checked32, AddDetectsOverflowAtBothEnds) {
    EXPECT_EQ(checkedAdd32(Max32 - 1, 1), Max32);
    EXPECT_EQ(checkedAdd32(Min32, 0), Min32);
    EXPECT_EQ(checkedAdd32(Min32, Max32), -1);
    EXPECT_THROW(checkedAdd32(Max32, 1), OverflowError);
    EXPECT_THROW(checkedAdd32(Min32, -1), OverflowError);
}

TEST(Checked32, SubtractDetectsOverflowAtBothEnds) {
    EXPECT_EQ(checkedSub32(-1, Min32), Max32);
    EXPECT_EQ(checkedSub32(Min32, 0), Min32);
    EXPECT_THROW(checkedSub32(0, Min32), OverflowError);
    EXPECT_THROW(checkedSub32(1000, Min32), OverflowError);
    EXPECT_THROW(checkedSub32(Min32, 1), OverflowError);
}

} // namespace
