#include "monitor/GridMapping.h"

#include <gtest/gtest.h>

namespace {

struct Placement {
    std::int32_t reg;
    std::int32_t col, row;
};

class RegisterPlacement : public testing::TestWithParam<Placement> {};

TEST_P(RegisterPlacement, GoesBothWays) {
    const Placement& p = GetParam();
    const GridCell cell = cellOfRegister(p.reg);
    EXPECT_EQ(cell.col, p.col);
    EXPECT_EQ(cell.row, p.row);
    EXPECT_EQ(registerOfCell(p.col, p.row), p.reg);
}

INSTANTIATE_TEST_SUITE_P(Corners, RegisterPlacement,
                         testing::Values(Placement{0, 1, 1}, Placement{9, 10, 1},
                                         Placement{10, 1, 2}, Placement{1003, 4, 101},
                                         Placement{1099, 10, 110}, Placement{32000, 1, 3201},
                                         Placement{32009, 10, 3201}),
                         [](const auto& info) {
                             return "Register" + std::to_string(info.param.reg);
                         });

} // namespace
