#include "tools/device/RequestHandler.h"

#include "wire/FrameCodec.h"
#include "wire/WireFormat.h"

#include <algorithm>

namespace RequestHandler {

namespace {

using FrameCodec::getWord;
using FrameCodec::putWord;
using namespace WireFormat;

using Bytes = std::vector<std::uint8_t>;

// MBAP header and function code of an answer frameSize bytes long.
Bytes answerHead(std::span<const std::uint8_t> request, std::uint8_t functionCode,
                 std::size_t frameSize) {
    Bytes frame(frameSize);
    putWord(&frame[TransactionIdOffset], getWord(&request[TransactionIdOffset]));
    putWord(&frame[ProtocolIdOffset], ModbusProtocolId);
    putWord(&frame[LengthOffset], static_cast<std::uint16_t>(frameSize - UnitIdOffset));
    frame[UnitIdOffset] = request[UnitIdOffset];
    frame[FunctionCodeOffset] = functionCode;
    return frame;
}

Bytes exception(std::span<const std::uint8_t> request, ExceptionCode code) {
    Bytes frame =
        answerHead(request, exceptionFunction(request[FunctionCodeOffset]), ExceptionFrameSize);
    frame[ExceptionCodeOffset] = code;
    return frame;
}

// The two words after the function code echoed: the write answers.
Bytes echo(std::span<const std::uint8_t> request) {
    Bytes frame = answerHead(request, request[FunctionCodeOffset], FixedFrameSize);
    std::ranges::copy(request.subspan(AddressOffset, FixedFrameSize - AddressOffset),
                      frame.begin() + AddressOffset);
    return frame;
}

bool beyondLastRegister(std::uint16_t start, std::uint16_t quantity) {
    return std::size_t{start} + quantity > RegisterBank::Size;
}

Bytes readRegisters(std::span<const std::uint8_t> request, const RegisterBank& registers) {
    if (request.size() != FixedFrameSize) return {};
    const std::uint16_t start = getWord(&request[AddressOffset]);
    const std::uint16_t quantity = getWord(&request[QuantityOffset]);
    if (quantity < 1 || quantity > MaxReadQuantity) return exception(request, IllegalDataValue);
    if (beyondLastRegister(start, quantity)) return exception(request, IllegalDataAddress);
    Bytes frame = answerHead(request, request[FunctionCodeOffset],
                             ReadValuesOffset + 2 * std::size_t{quantity});
    frame[ReadByteCountOffset] = static_cast<std::uint8_t>(2 * quantity);
    for (std::uint16_t i = 0; i < quantity; ++i)
        putWord(&frame[ReadValuesOffset + 2 * i],
                registers.read(static_cast<std::uint16_t>(start + i)));
    return frame;
}

Bytes writeSingle(std::span<const std::uint8_t> request, RegisterBank& registers) {
    if (request.size() != FixedFrameSize) return {};
    registers.write(getWord(&request[AddressOffset]), getWord(&request[ValueOffset]));
    return echo(request);
}

Bytes writeMultiple(std::span<const std::uint8_t> request, RegisterBank& registers) {
    if (request.size() < WriteValuesOffset) return {};
    const std::uint16_t start = getWord(&request[AddressOffset]);
    const std::uint16_t quantity = getWord(&request[QuantityOffset]);
    // The values the header announces must be exactly what follows it.
    if (request.size() != WriteValuesOffset + 2 * std::size_t{quantity}) return {};
    if (quantity < 1 || quantity > MaxWriteQuantity ||
        request[WriteByteCountOffset] != 2 * quantity)
        return exception(request, IllegalDataValue);
    if (beyondLastRegister(start, quantity)) return exception(request, IllegalDataAddress);
    for (std::uint16_t i = 0; i < quantity; ++i)
        registers.write(static_cast<std::uint16_t>(start + i),
                        getWord(&request[WriteValuesOffset + 2 * i]));
    return echo(request);
}

} // namespace

std::vector<std::uint8_t> answer(std::span<const std::uint8_t> request, RegisterBank& registers) {
    if (request.size() < HeaderSize) return {};
    if (getWord(&request[LengthOffset]) != request.size() - UnitIdOffset) return {};
    // An exception answer, which no request is: answering it could start an endless exchange.
    if ((request[FunctionCodeOffset] & ExceptionFlag) != 0) return {};
    switch (request[FunctionCodeOffset]) {
    case ReadHoldingRegisters:
        return readRegisters(request, registers);
    case WriteSingleRegister:
        return writeSingle(request, registers);
    case WriteMultipleRegisters:
        return writeMultiple(request, registers);
    default:
        return exception(request, IllegalFunction);
    }
}

} // namespace RequestHandler
