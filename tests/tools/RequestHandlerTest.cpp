#include "tools/device/RequestHandler.h"
#include "tests/support/HexBytes.h"
#include "wire/FrameCodec.h"

#include <gtest/gtest.h>

namespace {

// Against the counting pattern: register a holds a. An empty answer: ignored.
struct Exchange {
    const char* name;
    const char* request;
    const char* answer;
};

const Exchange exchanges[] = {
    {"F3TwoRegisters", "00 01 00 00 00 06 01 03 00 0A 00 02",
     "00 01 00 00 00 07 01 03 04 00 0A 00 0B"},
    {"F3LastRegister", "00 02 00 00 00 06 01 03 FF FF 00 01", "00 02 00 00 00 05 01 03 02 FF FF"},
    {"F3EchoesAnyUnit", "00 03 00 00 00 06 11 03 00 00 00 01", "00 03 00 00 00 05 11 03 02 00 00"},
    {"F3AnswersAnyProtocolWithZero", "00 04 00 07 00 06 01 03 00 01 00 01",
     "00 04 00 00 00 05 01 03 02 00 01"},
    {"F3QuantityZero", "00 05 00 00 00 06 01 03 00 00 00 00", "00 05 00 00 00 03 01 83 03"},
    {"F3Quantity126", "00 06 00 00 00 06 01 03 00 00 00 7E", "00 06 00 00 00 03 01 83 03"},
    {"F3PastLastRegister", "00 07 00 00 00 06 01 03 FF FF 00 02", "00 07 00 00 00 03 01 83 02"},
    {"F3QuantityCheckedBeforeAddress", "00 08 00 00 00 06 01 03 FF FF 00 7E",
     "00 08 00 00 00 03 01 83 03"},
    {"F6Echoes", "00 1B 00 00 00 06 01 06 00 C8 12 34", "00 1B 00 00 00 06 01 06 00 C8 12 34"},
    {"F16EchoesStartAndQuantity", "00 37 00 00 00 0B 01 10 03 E8 00 02 04 00 01 00 02",
     "00 37 00 00 00 06 01 10 03 E8 00 02"},
    {"F16QuantityZero", "00 09 00 00 00 07 01 10 00 00 00 00 00", "00 09 00 00 00 03 01 90 03"},
    {"F16ByteCountDisagrees", "00 0A 00 00 00 09 01 10 00 00 00 01 04 12 34",
     "00 0A 00 00 00 03 01 90 03"},
    {"F16PastLastRegister", "00 0B 00 00 00 0B 01 10 FF FF 00 02 04 00 01 00 02",
     "00 0B 00 00 00 03 01 90 02"},
    {"UnknownFunction", "00 0C 00 00 00 02 01 41", "00 0C 00 00 00 03 01 C1 01"},
    {"InputRegistersAreNotServed", "00 0D 00 00 00 06 01 04 00 00 00 01",
     "00 0D 00 00 00 03 01 84 01"},
    {"ExceptionAnswer", "00 0E 00 00 00 03 01 83 02", ""},
    {"ExceptionOfAnUnknownFunction", "00 0E 00 00 00 03 01 C1 01", ""},
    {"ExceptionCodeAsFunction", "00 0E 00 00 00 06 01 83 00 00 00 01", ""},
    {"EmptyDatagram", "", ""},
    {"HeaderWithoutFunction", "00 0F 00 00 00 01 01", ""},
    {"LengthOneTooMany", "00 10 00 00 00 07 01 03 00 00 00 01", ""},
    {"LengthOneTooFew", "00 11 00 00 00 05 01 03 00 00 00 01", ""},
    {"F3TrailingByte", "00 12 00 00 00 07 01 03 00 00 00 01 00", ""},
    {"F6ShortByOne", "00 13 00 00 00 05 01 06 00 00 12", ""},
    {"F16ValuesMissing", "00 14 00 00 00 07 01 10 00 C8 00 64 00", ""},
    {"F16ValueTooMany", "00 15 00 00 00 0B 01 10 00 00 00 01 02 00 01 00 02", ""},
};

void PrintTo(const Exchange& exchange, std::ostream* out) {
    *out << exchange.name;
}

class RequestHandlerTest : public testing::TestWithParam<Exchange> {};

TEST_P(RequestHandlerTest, AnswersByteForByte) {
    RegisterBank registers(ValuePattern::Count);
    const auto answer = RequestHandler::answer(bytesFromHex(GetParam().request), registers);
    EXPECT_EQ(bytesToHex(answer), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Requests, RequestHandlerTest, testing::ValuesIn(exchanges),
                         [](const auto& info) { return std::string(info.param.name); });

// The monitor's own frames, built by its codec, and the answers judged by its codec.
class MonitorFrames : public testing::Test {
  protected:
    FrameCodec::Answer ask(std::optional<std::size_t> size) {
        answered = RequestHandler::answer(std::span(request.data(), size.value()), registers);
        return FrameCodec::classify(answered);
    }

    RegisterBank registers{ValuePattern::Zeros};
    FrameCodec::FrameBuffer request{};
    FrameCodec::RegisterArray values{};
    std::vector<std::uint8_t> answered;
};

TEST_F(MonitorFrames, WrittenRegistersReadBackInOneFullRead) {
    for (std::uint16_t i = 0; i < 123; ++i)
        values[i] = static_cast<std::uint16_t>(0xA000 + i);
    EXPECT_EQ(ask(FrameCodec::buildF16(request, 1, 65411, 123, values)).verdict,
              FrameCodec::Verdict::WriteMultiple);
    EXPECT_EQ(ask(FrameCodec::buildF6(request, 27, 65534, 0xBEEF)).verdict,
              FrameCodec::Verdict::WriteSingle);
    const auto read = ask(FrameCodec::buildF3(request, 65411, 65411, 125));
    ASSERT_EQ(read.verdict, FrameCodec::Verdict::ReadAnswer);
    ASSERT_EQ(read.registerCount, 125);
    FrameCodec::RegisterArray got{};
    FrameCodec::decodeRegisters(answered, read, got);
    for (std::uint16_t i = 0; i < 123; ++i)
        EXPECT_EQ(got[i], 0xA000 + i) << i;
    EXPECT_EQ(got[123], 0xBEEF);
    EXPECT_EQ(got[124], 0);
}

TEST_F(MonitorFrames, RefusedWriteChangesNothing) {
    values.fill(0x5555);
    const auto refused = ask(FrameCodec::buildF16(request, 2, 65535, 2, values));
    EXPECT_EQ(refused.verdict, FrameCodec::Verdict::Exception);
    EXPECT_EQ(refused.exceptionCode, WireFormat::IllegalDataAddress);
    EXPECT_EQ(registers.read(65535), 0);
}

// Above 123 registers the monitor's frame carries byte count 0: refused, not ignored.
TEST_F(MonitorFrames, F16AboveLimitGetsException3) {
    const auto refused = ask(FrameCodec::buildF16(request, 3, 0, 124, values));
    EXPECT_EQ(refused.verdict, FrameCodec::Verdict::Exception);
    EXPECT_EQ(refused.exceptionCode, WireFormat::IllegalDataValue);
}

TEST(RegisterBankTest, MovingValuesCountUpAndWrap) {
    RegisterBank registers(ValuePattern::Moving);
    EXPECT_EQ(registers.read(0x1234), 0x1234);
    registers.write(7, 0xFFFF);
    registers.countUp();
    EXPECT_EQ(registers.read(0x1234), 0x1235);
    EXPECT_EQ(registers.read(7), 0);
}

} // namespace
