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

// A function 3 answer with the given length field, size bytes long, registers by pattern.
Bytes readAnswer(std::uint16_t length, std::size_t size) {
    Bytes frame(size, 0);
    const Bytes head = bytesFromHex("12 34 00 00 00 00 01 03 00");
    std::copy(head.begin(), head.begin() + static_cast<long>(std::min(size, head.size())),
              frame.begin());
    if (size >= 6) putWord(frame.data() + 4, length);
    for (std::size_t i = 0; MinAnswerSize + 2 * i + 1 < size; ++i)
        putWord(frame.data() + MinAnswerSize + 2 * i, patternWord(i));
    return frame;
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

// Answers

struct ClassifyRow {
    std::string name;
    Bytes datagram;
    Verdict verdict;
    std::int32_t registerCount = 0;
    std::int64_t rest = 0;
};

const ClassifyRow classifyRows[] = {
    {"Read100Registers", readAnswer(203, 209), Verdict::ReadAnswer, 100},
    {"ReadOneByteLong", readAnswer(203, 210), Verdict::WrongLength, 100, 1},
    {"ReadOneByteShort", readAnswer(203, 208), Verdict::WrongLength, 100, -1},
    {"ReadFarTooShort", readAnswer(203, 20), Verdict::WrongLength, 100, -189},
    {"Read500Registers", readAnswer(1003, 1009), Verdict::ReadAnswer, 500},
    {"Read501RegistersInFittingDatagram", readAnswer(1005, 1011), Verdict::TooManyRegisters, 501},
    {"Read501RegistersInNineBytes", readAnswer(1005, 9), Verdict::TooManyRegisters, 501},
    {"ReadLength0", readAnswer(0, 9), Verdict::WrongLength, -1, 2},
    {"ReadLength1", readAnswer(1, 9), Verdict::WrongLength, -1, 2},
    {"ReadLength2", readAnswer(2, 9), Verdict::ReadAnswer, 0},
    {"ReadLength3", readAnswer(3, 9), Verdict::ReadAnswer, 0},
    {"ReadLength4", readAnswer(4, 9), Verdict::ReadAnswer, 0},
    {"ReadLength5", readAnswer(5, 9), Verdict::WrongLength, 1, -2},
    {"ReadLength6", readAnswer(6, 11), Verdict::ReadAnswer, 1},
    {"ReadLengthFFFF", readAnswer(0xFFFF, 2000), Verdict::TooManyRegisters, 32766},
    {"ReadByteCountIgnored", bytesFromHex("00 01 00 00 00 07 01 03 FF 00 01 00 02"),
     Verdict::ReadAnswer, 2},
    {"ReadAnyProtocolAndUnit", bytesFromHex("00 01 FF FF 00 05 00 03 02 AB CD"),
     Verdict::ReadAnswer, 1},
    {"WriteSingle", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12 34"), Verdict::WriteSingle},
    {"WriteSingleElevenBytes", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12"),
     Verdict::WrongLength, 0, -1},
    {"WriteSingleTenBytes", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8"), Verdict::WrongLength, 0,
     -2},
    {"WriteMultiple", bytesFromHex("00 37 00 00 00 06 01 10 03 E8 00 02"), Verdict::WriteMultiple},
    {"WriteMultipleThirteenBytes", bytesFromHex("00 37 00 00 00 06 01 10 03 E8 00 02 00"),
     Verdict::WrongLength, 0, 1},
    {"Exception83", bytesFromHex("00 05 00 00 00 03 01 83 02"), Verdict::Exception},
    {"Exception86", bytesFromHex("00 06 00 00 00 03 01 86 02"), Verdict::Exception},
    {"Exception90", bytesFromHex("00 07 00 00 00 03 01 90 04"), Verdict::Exception},
    {"ExceptionTenBytes", bytesFromHex("00 05 00 00 00 03 01 83 02 00"), Verdict::WrongLength, 0,
     1},
    {"Function84IsUnknown", bytesFromHex("00 05 00 00 00 03 01 84 02"), Verdict::UnknownFunction},
    {"Function4IsUnknown", bytesFromHex("00 05 00 00 00 03 01 04 02"), Verdict::UnknownFunction},
    {"FunctionFFIsUnknown", bytesFromHex("00 05 00 00 00 03 01 FF 02"), Verdict::UnknownFunction},
    {"EightBytesNotParsed", bytesFromHex("00 05 00 00 00 03 01 83"), Verdict::TooShort},
    {"EmptyNotParsed", {}, Verdict::TooShort},
};

void PrintTo(const ClassifyRow& row, std::ostream* out) {
    *out << row.name;
}

class ClassifyTest : public testing::TestWithParam<ClassifyRow> {};

TEST_P(ClassifyTest, JudgesByFunctionCodeAndLength) {
    const auto& row = GetParam();
    const Answer answer = classify(row.datagram);
    EXPECT_EQ(answer.verdict, row.verdict);
    EXPECT_EQ(answer.rest, row.rest);
    if (row.datagram.size() >= 8 && row.datagram[7] == 3) {
        EXPECT_EQ(answer.registerCount, row.registerCount);
    }
    if (row.datagram.size() >= MinAnswerSize) {
        EXPECT_EQ(answer.trId, getWord(row.datagram.data()));
        EXPECT_EQ(answer.functionCode, row.datagram[7]);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ClassifyTest, testing::ValuesIn(classifyRows),
                         [](const auto& info) { return info.param.name; });

TEST(AnswerFields, ReadAnswerRegistersDecodeToHostOrder) {
    const Bytes datagram = readAnswer(1003, 1009);
    const Answer answer = classify(datagram);
    ASSERT_EQ(answer.verdict, Verdict::ReadAnswer);
    EXPECT_EQ(answer.trId, 0x1234);
    RegisterArray registers{};
    decodeRegisters(datagram, answer, registers);
    for (std::size_t i = 0; i < 500; ++i)
        ASSERT_EQ(registers[i], patternWord(i)) << i;
}

TEST(AnswerFields, WriteEchoesCarryAddressAndValue) {
    const Answer single = classify(bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12 34"));
    EXPECT_EQ(single.address, 200);
    EXPECT_EQ(single.value, 0x1234);
    const Answer multiple = classify(bytesFromHex("00 37 7F 7F 00 00 09 10 03 E8 00 02"));
    EXPECT_EQ(multiple.verdict, Verdict::WriteMultiple);
    EXPECT_EQ(multiple.trId, 55);
    EXPECT_EQ(multiple.address, 1000);
    EXPECT_EQ(multiple.value, 2);
}

TEST(AnswerFields, ExceptionCarriesItsCodeUnchanged) {
    const Answer answer = classify(bytesFromHex("00 05 00 00 00 03 01 83 02"));
    EXPECT_EQ(answer.trId, 5);
    EXPECT_EQ(answer.functionCode, 0x83);
    EXPECT_EQ(answer.exceptionCode, 2);
}

TEST(BigEndian, HighByteFirstBothWays) {
    std::uint8_t bytes[2] = {};
    putWord(bytes, 0xA1B2);
    EXPECT_EQ(bytes[0], 0xA1);
    EXPECT_EQ(bytes[1], 0xB2);
    EXPECT_EQ(getWord(bytes), 0xA1B2);
}

} // namespace
