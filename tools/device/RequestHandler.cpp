#include "tools/device/RequestHandler.h"

#include "wire/FrameCodec.h"

#include <algorithm>

namespace RequestHandler {

namespace {

using FrameCodec::getWord;
using FrameCodec::putWord;

constexpr std::size_t HeaderSize = 8;         // MBAP header and function code
constexpr std::size_t LengthCounted = 6;      // bytes up to the end of the MBAP length field
constexpr std::size_t SingleRequestSize = 12; // functions 3 and 6: two words after the code
constexpr std::size_t F16HeaderSize = 13;     // up to and including the byte count
constexpr std::uint8_t ExceptionFlag = 0x80;

using Bytes = std::vector<std::uint8_t>;

// MBAP header and function code of an answer whose data are dataSize bytes long.
Bytes answerHead(std::span<const std::uint8_t> request, std::uint8_t functionCode,
                 std::size_t dataSize) {
    Bytes frame(HeaderSize + dataSize);
    putWord(&frame[0], getWord(&request[0]));
    putWord(&frame[2], 0);
    putWord(&frame[4], static_cast<std::uint16_t>(2 + dataSize));
    frame[6] = request[6];
    frame[7] = functionCode;
    return frame;
}

Bytes exception(std::span<const std::uint8_t> request, ExceptionCode code) {
    Bytes frame = answerHead(request, static_cast<std::uint8_t>(request[7] | ExceptionFlag), 1);
    frame[8] = code;
    return frame;
}

// The four bytes at 8..11 echoed after the function code: the write answers.
Bytes echo(std::span<const std::uint8_t> request) {
    Bytes frame = answerHead(request, request[7], 4);
    std::ranges::copy(request.subspan(8, 4), frame.begin() + 8);
    return frame;
}

bool beyondLastRegister(std::uint16_t start, std::uint16_t quantity) {
    return std::size_t{start} + quantity > RegisterBank::Size;
}

Bytes readRegisters(std::span<const std::uint8_t> request, const RegisterBank& registers) {
    if (request.size() != SingleRequestSize) return {};
    const std::uint16_t start = getWord(&request[8]);
    const std::uint16_t quantity = getWord(&request[10]);
    if (quantity < 1 || quantity > MaxReadQuantity) return exception(request, IllegalDataValue);
    if (beyondLastRegister(start, quantity)) return exception(request, IllegalDataAddress);
    Bytes frame = answerHead(request, request[7], 1 + 2 * std::size_t{quantity});
    frame[8] = static_cast<std::uint8_t>(2 * quantity);
    for (std::uint16_t i = 0; i < quantity; ++i)
        putWord(&frame[9 + 2 * i], registers.read(static_cast<std::uint16_t>(start + i)));
    return frame;
}

Bytes writeSingle(std::span<const std::uint8_t> request, RegisterBank& registers) {
    if (request.size() != SingleRequestSize) return {};
    registers.write(getWord(&request[8]), getWord(&request[10]));
    return echo(request);
}

Bytes writeMultiple(std::span<const std::uint8_t> request, RegisterBank& registers) {
    if (request.size() < F16HeaderSize) return {};
    const std::uint16_t start = getWord(&request[8]);
    const std::uint16_t quantity = getWord(&request[10]);
    // The values the header announces must be exactly what follows it.
    if (request.size() != F16HeaderSize + 2 * std::size_t{quantity}) return {};
    if (quantity < 1 || quantity > MaxWriteQuantity || request[12] != 2 * quantity)
        return exception(request, IllegalDataValue);
    if (beyondLastRegister(start, quantity)) return exception(request, IllegalDataAddress);
    for (std::uint16_t i = 0; i < quantity; ++i)
        registers.write(static_cast<std::uint16_t>(start + i),
                        getWord(&request[F16HeaderSize + 2 * i]));
    return echo(request);
}

} // namespace

std::vector<std::uint8_t> answer(std::span<const std::uint8_t> request, RegisterBank& registers) {
    if (request.size() < HeaderSize) return {};
    if (getWord(&request[4]) != request.size() - LengthCounted) return {};
    switch (request[7]) {
    case 3:
        return readRegisters(request, registers);
    case 6:
        return writeSingle(request, registers);
    case 16:
        return writeMultiple(request, registers);
    default:
        return exception(request, IllegalFunction);
    }
}

} // namespace RequestHandler
