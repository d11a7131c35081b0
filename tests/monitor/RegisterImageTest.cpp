#include "monitor/RegisterImage.h"
#include "core/RuntimeErrors.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(RegisterImage, KeepsAValuePerRegisterAtBothEnds) {
    RegisterImage image;
    image.set(0, 0xFFFF);
    image.set(1, 1);
    image.set(32000, 0xBEEF);
    EXPECT_EQ(image.at(0), 0xFFFF);
    EXPECT_EQ(image.at(1), 1);
    EXPECT_EQ(image.at(31999), 0);
    EXPECT_EQ(image.at(32000), 0xBEEF);
}

TEST(RegisterImage, WritesARunWholeAndTellsWhetherItChangedAnything) {
    RegisterImage image;
    const std::array<std::uint16_t, 3> run{1, 2, 3};
    EXPECT_TRUE(image.write(31998, run));
    EXPECT_FALSE(image.write(31998, run));
    EXPECT_EQ(image.at(32000), 3);
    EXPECT_THROW(image.write(31999, run), RangeError);
    EXPECT_THROW(image.write(-1, run), RangeError);
    EXPECT_EQ(image.at(31999), 2) << "a run that does not fit writes nothing";
    EXPECT_EQ(image.at(0), 0);
}

class OutsideTheImage : public testing::TestWithParam<std::int32_t> {};

TEST_P(OutsideTheImage, IsARangeErrorAndTouchesNothing) {
    RegisterImage image;
    image.set(0, 7);
    image.set(32000, 9);
    const std::int32_t reg = GetParam();
    EXPECT_THROW(image.set(reg, 1), RangeError);
    EXPECT_THROW((void)image.at(reg), RangeError);
    EXPECT_EQ(image.at(0), 7);
    EXPECT_EQ(image.at(32000), 9);
}

INSTANTIATE_TEST_SUITE_P(Registers, OutsideTheImage,
                         testing::Values(-1, 32001, 32009, INT32_MIN, INT32_MAX));

} // namespace
