#include "monitor/RegisterEditorRules.h"

#include <gtest/gtest.h>

namespace {

// A click beyond the last column or row selects -1/-1, which names register -22.
TEST(RegisterOfCell, TheSelectionOfAClickThatHitNoCell) {
    EXPECT_EQ(registerOfCell(-1, -1), -22);
}

struct GateCase {
    const char* name;
    std::int32_t col, row;
    bool accepted;
    WriteGate gate;
};

class WriteGates : public testing::TestWithParam<GateCase> {};

// Read range 1000..1200 throughout.
TEST_P(WriteGates, DecideOnTheSelectionTheClickAndTheRange) {
    const GateCase& c = GetParam();
    EXPECT_EQ(writeGate(c.col, c.row, c.accepted, 1000, 1200), c.gate);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, WriteGates,
    testing::Values(GateCase{"NoneSelected", 0, 99, false, WriteGate::Nothing},
                    GateCase{"LabelColumn", 0, 101, true, WriteGate::Nothing},
                    GateCase{"LabelRow", 4, 0, true, WriteGate::Nothing},
                    GateCase{"AcceptedInRange", 4, 101, true, WriteGate::Write},
                    GateCase{"FirstAndLastOfRange", 1, 101, true, WriteGate::Write},
                    GateCase{"RefusedClickNowInRange", 4, 101, false, WriteGate::OutOfRange},
                    GateCase{"AboveRange", 1, 131, true, WriteGate::OutOfRange},
                    GateCase{"BelowRange", 10, 100, true, WriteGate::OutOfRange},
                    GateCase{"BeyondLastCell", -1, -1, false, WriteGate::OutOfRange},
                    GateCase{"BeyondTheImage", 2, 3201, true, WriteGate::Nothing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegisterTexts, DisplayAndOutOfRangeLine) {
    EXPECT_EQ(registerDisplay(1003, 255), "REG. 1003 = 0x00FF");
    EXPECT_EQ(outOfRangeLine(1000, 1200), "Register nicht im Bereich 1000 bis 1200");
}

} // namespace
