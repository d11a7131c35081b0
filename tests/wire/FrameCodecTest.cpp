#include "wire/FrameCodec.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace FrameCodec;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Register i of a generated read answer: high and low byte differ, so a swap shows.
std::uint16_t patternWord(std::size_t i) {
    return static_cast<std::uint16_t>((i << 8) | (~i & 0xFF));
}

// Requests

struct BuildRow {
    std::string name;
    std::optional<std::size_t> (*build)(FrameBuffer&);
    std::string expected;
};

RegisterArray valuesOneTwo() {
    RegisterArray values{};
    values[0] = 0x0001;
    values[1] = 0x0002;
    return values;
}

const BuildRow buildRows[] = {
    {"F3_Tr24_Start24_Count100", [](FrameBuffer& b) { return buildF3(b, 24, 24, 100); },
     "00 18 00 00 00 06 01 03 00 18 00 64"},
    {"F3_CountZeroIsSent", [](FrameBuffer& b) { return buildF3(b, 1, 2, 0); },
     "00 01 00 00 00 06 01 03 00 02 00 00"},
    {"F3_Count126AboveProtocolLimitIsSent",
     [](FrameBuffer& b) { return buildF3(b, 0xFFFF, 0xABCD, 126); },
     "FF FF 00 00 00 06 01 03 AB CD 00 7E"},
    {"F3_Count500", [](FrameBuffer& b) { return buildF3(b, 0, 0, 500); },
     "00 00 00 00 00 06 01 03 00 00 01 F4"},
    {"F6_Tr27_Reg200_Value1234",
     [](FrameBuffer& b) { return std::optional(buildF6(b, 27, 200, 0x1234)); },
     "00 1B 00 00 00 06 01 06 00 C8 12 34"},
    {"F16_Tr55_Start1000_TwoValues",
     [](FrameBuffer& b) { return buildF16(b, 55, 1000, 2, valuesOneTwo()); },
     "00 37 00 00 00 0B 01 10 03 E8 00 02 04 00 01 00 02"},
    {"F16_CountZero", [](FrameBuffer& b) { return buildF16(b, 0, 0, 0, valuesOneTwo()); },
     "00 00 00 00 00 07 01 10 00 00 00 00 00"},
};

void PrintTo(const BuildRow& row, std::ostream* out) {
    *out << row.name;
}

class BuildTest : public testing::TestWithParam<BuildRow> {};

TEST_P(BuildTest, BuildsFrameByteForByte) {
    FrameBuffer buffer{};
    const auto size = GetParam().build(buffer);
    ASSERT_TRUE(size);
    EXPECT_EQ(bytesToHex(std::span(buffer).first(*size)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Requests, BuildTest, testing::ValuesIn(buildRows),
                         [](const auto& info) { return info.param.name; });

struct F16SizeRow {
    std::uint16_t count;
    std::uint8_t byteCount;
    std::uint16_t length;
    std::size_t frameSize;
};

void PrintTo(const F16SizeRow& row, std::ostream* out) {
    *out << "count " << row.count;
}

class F16SizeTest : public testing::TestWithParam<F16SizeRow> {};

TEST_P(F16SizeTest, ByteCountLengthAndSizeFollowTheCount) {
    const auto row = GetParam();
    RegisterArray values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = patternWord(i);
    FrameBuffer buffer{};
    const auto size = buildF16(buffer, 7, 8, row.count, values);
    ASSERT_TRUE(size);
    EXPECT_EQ(*size, row.frameSize);
    EXPECT_EQ(getWord(buffer.data() + 4), row.length);
    EXPECT_EQ(getWord(buffer.data() + 10), row.count);
    EXPECT_EQ(buffer[12], row.byteCount);
    for (std::size_t i = 0; i < row.count; ++i)
        ASSERT_EQ(getWord(buffer.data() + 13 + 2 * i), values[i]) << "register " << i;
}

INSTANTIATE_TEST_SUITE_P(Requests, F16SizeTest,
                         testing::Values(F16SizeRow{0, 0, 7, 13}, F16SizeRow{123, 246, 253, 259},
                                         F16SizeRow{124, 0, 255, 261},
                                         F16SizeRow{500, 0, 1007, 1013}),
                         [](const auto& info) {
                             return "Count" + std::to_string(info.param.count);
                         });

TEST(RequestLimit, MoreThan500RegistersBuildsNothing) {
    FrameBuffer buffer{};
    buffer.fill(0xAA);
    EXPECT_FALSE(buildF3(buffer, 1, 2, 501));
    EXPECT_FALSE(buildF16(buffer, 1, 2, 501, RegisterArray{}));
    EXPECT_FALSE(buildF3(buffer, 1, 2, 0xFFFF));
    EXPECT_EQ(buffer, [] {
        FrameBuffer untouched;
        untouched.fill(0xAA);
        return untouched;
    }());
}

// The write-single answer is the echo of its request: what is built classifies back.
TEST(RequestLimit, F6RequestReadsBackAsItsEcho) {
    FrameBuffer buffer{};
    const std::size_t size = buildF6(buffer, 27, 200, 0x1234);
    const Answer answer = classify(std::span(buffer).first(size));
    EXPECT_EQ(answer.verdict, Verdict::WriteSingle);
    EXPECT_EQ(answer.trId, 27);
    EXPECT_EQ(answer.address, 200);
    EXPECT_EQ(answer.value, 0x1234);
}

// Answers: the verdict and log line of each datagram are the client's datagram table
// (ClientDatagramTest); here the decoding of a read answer's registers, all 500 of them.

TEST(AnswerFields, ReadAnswerRegistersDecodeToHostOrder) {
    Bytes datagram = bytesFromHex("12 34 00 00 03 EB 01 03 00");
    for (std::size_t i = 0; i < 500; ++i) {
        datagram.push_back(static_cast<std::uint8_t>(patternWord(i) >> 8));
        datagram.push_back(static_cast<std::uint8_t>(patternWord(i) & 0xFF));
    }
    const Answer answer = classify(datagram);
    ASSERT_EQ(answer.verdict, Verdict::ReadAnswer);
    ASSERT_EQ(answer.registerCount, 500);
    EXPECT_EQ(answer.trId, 0x1234);
    RegisterArray registers{};
    decodeRegisters(datagram, answer, registers);
    for (std::size_t i = 0; i < 500; ++i)
        ASSERT_EQ(registers[i], patternWord(i)) << i;
}

TEST(BigEndian, HighByteFirstBothWays) {
    std::uint8_t bytes[2] = {};
    putWord(bytes, 0xA1B2);
    EXPECT_EQ(bytes[0], 0xA1);
    EXPECT_EQ(bytes[1], 0xB2);
    EXPECT_EQ(getWord(bytes), 0xA1B2);
}

} // namespace
