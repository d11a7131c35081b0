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

TEST(HexDigits, BytesAreTwoDigitsOfTheLowestByte) {
    EXPECT_EQ(hexDigits<2>(0x00), (std::array<char, 2>{'0', '0'}));
    EXPECT_EQ(hexDigits<2>(0xA7), (std::array<char, 2>{'A', '7'}));
    EXPECT_EQ(hexDigits<2>(0x1FF), (std::array<char, 2>{'F', 'F'}));
}

} // namespace
