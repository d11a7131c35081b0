#include "core/HexDigits.h"

#include <gtest/gtest.h>

namespace {

TEST(HexDigits, RegistersAreFourUpperCaseDigits) {
    EXPECT_EQ(hexWord(0), "0000");
    EXPECT_EQ(hexWord(10), "000A");
    EXPECT_EQ(hexWord(0x0ABC), "0ABC");
    EXPECT_EQ(hexWord(0xBEEF), "BEEF");
    EXPECT_EQ(hexWord(65535), "FFFF");
}

} // namespace
