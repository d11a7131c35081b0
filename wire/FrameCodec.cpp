#include "wire/FrameCodec.h"

namespace FrameCodec {

using namespace WireFormat;

namespace {

constexpr std::uint8_t UnitId = 1;
// The bytes a read answer's length field counts before the values.
constexpr std::int32_t ReadCountedBeforeValues = ReadValuesOffset - UnitIdOffset;

// MBAP header, function code and the two words every request carries after it.
void putHead(FrameBuffer& buffer, std::uint16_t trId, std::size_t frameSize,
             std::uint8_t functionCode, std::uint16_t first, std::uint16_t second) {
    std::uint8_t* frame = buffer.data();
    putWord(frame + TransactionIdOffset, trId);
    putWord(frame + ProtocolIdOffset, ModbusProtocolId);
    putWord(frame + LengthOffset, static_cast<std::uint16_t>(frameSize - UnitIdOffset));
    frame[UnitIdOffset] = UnitId;
    frame[FunctionCodeOffset] = functionCode;
    putWord(frame + AddressOffset, first);
    putWord(frame + QuantityOffset, second);
}

Answer classifyRead(std::span<const std::uint8_t> datagram, Answer answer) {
    const std::int32_t length = getWord(datagram.data() + LengthOffset);
    answer.registerCount = (length - ReadCountedBeforeValues) / 2;
    if (answer.registerCount > MaxRegisters) {
        answer.verdict = Verdict::TooManyRegisters;
        return answer;
    }
    answer.rest = static_cast<std::int64_t>(datagram.size()) -
                  static_cast<std::int64_t>(ReadValuesOffset) - 2 * answer.registerCount;
    answer.verdict = answer.rest == 0 ? Verdict::ReadAnswer : Verdict::WrongLength;
    return answer;
}

Answer classifyWrite(std::span<const std::uint8_t> datagram, Answer answer, Verdict accepted) {
    answer.rest =
        static_cast<std::int64_t>(datagram.size()) - static_cast<std::int64_t>(FixedFrameSize);
    if (answer.rest != 0) {
        answer.verdict = Verdict::WrongLength;
        return answer;
    }
    answer.verdict = accepted;
    answer.address = getWord(datagram.data() + AddressOffset);
    answer.value = getWord(datagram.data() + ValueOffset);
    return answer;
}

Answer classifyException(std::span<const std::uint8_t> datagram, Answer answer) {
    answer.rest =
        static_cast<std::int64_t>(datagram.size()) - static_cast<std::int64_t>(ExceptionFrameSize);
    if (answer.rest != 0) {
        answer.verdict = Verdict::WrongLength;
        return answer;
    }
    answer.verdict = Verdict::Exception;
    answer.exceptionCode = datagram[ExceptionCodeOffset];
    return answer;
}

} // namespace

std::optional<std::size_t> buildF3(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t start,
                                   std::uint16_t count) {
    if (count > MaxRegisters) return std::nullopt;
    putHead(buffer, trId, FixedFrameSize, ReadHoldingRegisters, start, count);
    return FixedFrameSize;
}

std::size_t buildF6(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t address,
                    std::uint16_t value) {
    putHead(buffer, trId, FixedFrameSize, WriteSingleRegister, address, value);
    return FixedFrameSize;
}

std::optional<std::size_t> buildF16(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t start,
                                    std::uint16_t count, const RegisterArray& values) {
    if (count > MaxRegisters) return std::nullopt;
    const auto dataBytes = static_cast<std::uint16_t>(2 * count);
    const std::size_t size = WriteValuesOffset + dataBytes;
    putHead(buffer, trId, size, WriteMultipleRegisters, start, count);
    // Above the largest quantity a device accepts, the byte count is sent as 0.
    buffer[WriteByteCountOffset] =
        count <= MaxWriteQuantity ? static_cast<std::uint8_t>(dataBytes) : 0;
    for (std::size_t i = 0; i < count; ++i)
        putWord(buffer.data() + WriteValuesOffset + 2 * i, values[i]);
    return size;
}

Answer classify(std::span<const std::uint8_t> datagram) {
    Answer answer;
    if (datagram.size() < MinAnswerSize) return answer;
    answer.trId = getWord(datagram.data() + TransactionIdOffset);
    answer.functionCode = datagram[FunctionCodeOffset];
    switch (answer.functionCode) {
    case ReadHoldingRegisters:
        return classifyRead(datagram, answer);
    case WriteSingleRegister:
        return classifyWrite(datagram, answer, Verdict::WriteSingle);
    case WriteMultipleRegisters:
        return classifyWrite(datagram, answer, Verdict::WriteMultiple);
    case exceptionFunction(ReadHoldingRegisters):
    case exceptionFunction(WriteSingleRegister):
    case exceptionFunction(WriteMultipleRegisters):
        return classifyException(datagram, answer);
    default:
        answer.verdict = Verdict::UnknownFunction;
        return answer;
    }
}

void decodeRegisters(std::span<const std::uint8_t> datagram, const Answer& answer,
                     RegisterArray& registers) {
    const std::uint8_t* words = datagram.data() + ReadValuesOffset;
    for (std::int32_t i = 0; i < answer.registerCount; ++i)
        registers[static_cast<std::size_t>(i)] = getWord(words + 2 * i);
}

} // namespace FrameCodec
