#include "monitor/RangeRules.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(RoundHalfToEven, HalfwayGoesToTheEvenNeighbour) {
    const struct {
        double value;
        std::int32_t rounded;
    } cases[] = {{1000.5, 1000},    {1001.5, 1002},   {0.5, 0},    {2.5, 2},      {999.6, 1000},
                 {1000.4999, 1000}, {31999.7, 32000}, {0.0, 0},    {-0.0, 0},     {-1.5, -2},
                 {-2.5, -2},        {-0.4, 0},        {1e-300, 0}, {32000, 32000}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfToEven(c.value), c.rounded) << c.value;
}

struct StartCase {
    const char* name;
    std::optional<double> value;
    std::int32_t endReg;
    std::int32_t regOffset;
    std::optional<std::int32_t> accepted;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class StartRegisterTest : public testing::TestWithParam<StartCase> {};

TEST_P(StartRegisterTest, TestsTheUnroundedValue) {
    const StartCase& c = GetParam();
    EXPECT_EQ(acceptStartRegister(c.value, c.endReg, c.regOffset), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StartRegisterTest,
    testing::Values(StartCase{"HalfDown", 1000.5, 1200, 1000, 1000},
                    StartCase{"HalfUp", 1001.5, 1200, 1000, 1002},
                    StartCase{"BelowOffsetThoughRoundingReachesIt", 999.6, 1200, 1000, {}},
                    StartCase{"RoundsUpTo32000", 31999.7, 32000, 1000, 32000},
                    StartCase{"Exactly32000", 32000.0, 32000, 1000, {}},
                    StartCase{"AboveEnd", 1200.1, 1200, 1000, {}},
                    StartCase{"EqualToEnd", 1200.0, 1200, 1000, 1200},
                    StartCase{"EqualToOffset", 1000.0, 1200, 1000, 1000},
                    StartCase{"Zero", 0.0, 1200, -5, 0}, StartCase{"Negative", -0.4, 1200, -5, {}},
                    StartCase{"NotANumber", std::nullopt, 1200, 1000, {}}),
    [](const auto& info) { return info.param.name; });

struct EndCase {
    const char* name;
    std::optional<double> value;
    std::int32_t startReg;
    std::optional<std::int32_t> accepted;
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}

class EndRegisterTest : public testing::TestWithParam<EndCase> {};

TEST_P(EndRegisterTest, TestsTheUnroundedValue) {
    const EndCase& c = GetParam();
    EXPECT_EQ(acceptEndRegister(c.value, c.startReg), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(Values, EndRegisterTest,
                         testing::Values(EndCase{"Exactly32000", 32000.0, 1000, 32000},
                                         EndCase{"Above32000", 32000.4, 1000, {}},
                                         EndCase{"BelowStart", 999.9, 1000, {}},
                                         EndCase{"EqualToStart", 1000.0, 1000, 1000},
                                         EndCase{"HalfToEven", 1200.5, 1000, 1200},
                                         EndCase{"Negative", -0.2, 0, {}},
                                         EndCase{"NotANumber", std::nullopt, 1000, {}}),
                         [](const auto& info) { return info.param.name; });

TEST(AcceptOffset, HasNoLowerBoundButMustNotExceedStart) {
    EXPECT_TRUE(acceptOffset(-5, 1000));
    EXPECT_TRUE(acceptOffset(std::numeric_limits<std::int32_t>::min(), 0));
    EXPECT_TRUE(acceptOffset(1000, 1000));
    EXPECT_FALSE(acceptOffset(1001, 1000));
}

} // namespace
