#include "monitor/ReadPlan.h"

#include "core/RuntimeErrors.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct PlanCase {
    const char* name;
    std::int32_t next, end, offset;
    std::uint16_t address, count;
};

class ReadPlanRequests : public testing::TestWithParam<PlanCase> {};

TEST_P(ReadPlanRequests, GiveAddressAndCappedCount) {
    const PlanCase& c = GetParam();
    const ReadRequest request = nextReadRequest(c.next, c.end, c.offset);
    EXPECT_EQ(request.address, c.address);
    EXPECT_EQ(request.count, c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, ReadPlanRequests,
    testing::Values(PlanCase{"FirstBlockOfStartRange", 1000, 1200, 1000, 0, 100},
                    PlanCase{"SecondBlock", 1100, 1200, 1000, 100, 100},
                    PlanCase{"LastSingleRegister", 1200, 1200, 1000, 200, 1},
                    PlanCase{"ExactlyOneHundred", 0, 99, 0, 0, 100},
                    PlanCase{"EndLoweredToNextMinusOne", 1100, 1099, 1000, 100, 0},
                    PlanCase{"WholeRangeLastBlock", 32000, 32000, 0, 32000, 1},
                    PlanCase{"NegativeOffset", 0, 10, -5, 5, 11},
                    PlanCase{"HighestAddress", 32000, 32000, -33535, 65535, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadPlanFailures, CountBelowZeroIsARangeError) {
    EXPECT_THROW(nextReadRequest(1100, 1098, 1000), RangeError);
}

TEST(ReadPlanFailures, AddressOutside16BitsIsARangeError) {
    EXPECT_THROW(nextReadRequest(999, 1200, 1000), RangeError);
    EXPECT_THROW(nextReadRequest(32000, 32000, -33536), RangeError);
}

TEST(ReadPlanFailures, SubtractionLeaving32BitsIsAnOverflowError) {
    EXPECT_THROW(nextReadRequest(1000, 1200, std::numeric_limits<std::int32_t>::min()),
                 OverflowError);
}

} // namespace
