#include "wire/FrameCodec.h"

namespace FrameCodec {

namespace {

constexpr std::uint8_t UnitId = 1;
constexpr std::size_t SingleFrameSize = 12;     // functions 3 and 6, and the write echoes
constexpr std::size_t F16HeaderSize = 13;       // up to and including the byte count
constexpr std::uint16_t MaxByteCountRegs = 123; // above this the byte count byte is 0

// MBAP header, function code and the two words every request carries at bytes 8 and 10.
void putHead(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t length,
             std::uint8_t functionCode, std::uint16_t first, std::uint16_t second) {
    std::uint8_t* frame = buffer.data();
    putWord(frame, trId);
    putWord(frame + 2, 0);
    putWord(frame + 4, length);
    frame[6] = UnitId;
    frame[7] = functionCode;
    putWord(frame + 8, first);
    putWord(frame + 10, second);
}

Answer classifyRead(std::span<const std::uint8_t> datagram, Answer answer) {
    const std::int32_t length = getWord(datagram.data() + 4);
    answer.registerCount = (length - 3) / 2;
    if (answer.registerCount > MaxRegisters) {
        answer.verdict = Verdict::TooManyRegisters;
        return answer;
    }
    answer.rest = static_cast<std::int64_t>(datagram.size()) -
                  static_cast<std::int64_t>(MinAnswerSize) - 2 * answer.registerCount;
    answer.verdict = answer.rest == 0 ? Verdict::ReadAnswer : Verdict::WrongLength;
    return answer;
}

Answer classifyWrite(std::span<const std::uint8_t> datagram, Answer answer, Verdict accepted) {
    answer.rest =
        static_cast<std::int64_t>(datagram.size()) - static_cast<std::int64_t>(SingleFrameSize);
    if (answer.rest != 0) {
        answer.verdict = Verdict::WrongLength;
        return answer;
    }
    answer.verdict = accepted;
    answer.address = getWord(datagram.data() + 8);
    answer.value = getWord(datagram.data() + 10);
    return answer;
}

Answer classifyException(std::span<const std::uint8_t> datagram, Answer answer) {
    answer.rest =
        static_cast<std::int64_t>(datagram.size()) - static_cast<std::int64_t>(MinAnswerSize);
    if (answer.rest != 0) {
        answer.verdict = Verdict::WrongLength;
        return answer;
    }
    answer.verdict = Verdict::Exception;
    answer.exceptionCode = datagram[8];
    return answer;
}

} // namespace

std::optional<std::size_t> buildF3(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t start,
                                   std::uint16_t count) {
    if (count > MaxRegisters) return std::nullopt;
    putHead(buffer, trId, 6, 3, start, count);
    return SingleFrameSize;
}

std::size_t buildF6(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t address,
                    std::uint16_t value) {
    putHead(buffer, trId, 6, 6, address, value);
    return SingleFrameSize;
}

std::optional<std::size_t> buildF16(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t start,
                                    std::uint16_t count, const RegisterArray& values) {
    if (count > MaxRegisters) return std::nullopt;
    const auto dataBytes = static_cast<std::uint16_t>(2 * count);
    putHead(buffer, trId, static_cast<std::uint16_t>(7 + dataBytes), 16, start, count);
    buffer[12] = count <= MaxByteCountRegs ? static_cast<std::uint8_t>(dataBytes) : 0;
    for (std::size_t i = 0; i < count; ++i)
        putWord(buffer.data() + F16HeaderSize + 2 * i, values[i]);
    return F16HeaderSize + dataBytes;
}

Answer classify(std::span<const std::uint8_t> datagram) {
    Answer answer;
    if (datagram.size() < MinAnswerSize) return answer;
    answer.trId = getWord(datagram.data());
    answer.functionCode = datagram[7];
    switch (answer.functionCode) {
    case 3:
        return classifyRead(datagram, answer);
    case 6:
        return classifyWrite(datagram, answer, Verdict::WriteSingle);
    case 16:
        return classifyWrite(datagram, answer, Verdict::WriteMultiple);
    case 0x83:
    case 0x86:
    case 0x90:
        return classifyException(datagram, answer);
    default:
        answer.verdict = Verdict::UnknownFunction;
        return answer;
    }
}

void decodeRegisters(std::span<const std::uint8_t> datagram, const Answer& answer,
                     RegisterArray& registers) {
    const std::uint8_t* words = datagram.data() + MinAnswerSize;
    for (std::int32_t i = 0; i < answer.registerCount; ++i)
        registers[static_cast<std::size_t>(i)] = getWord(words + 2 * i);
}

} // namespace FrameCodec
