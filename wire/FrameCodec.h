#pragma once

#include "wire/WireFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The Modbus/UDP wire format: requests of functions 3, 6 and 16 built byte for byte, and
// received datagrams classified by their function code. Pure: bytes in, bytes or a verdict out.
namespace FrameCodec {

// Requests are built in, and datagrams received into, buffers of this size.
constexpr std::size_t BufferSize = 2000;
using FrameBuffer = std::array<std::uint8_t, BufferSize>;

// Registers in host order; the first count entries of a read answer are valid.
using RegisterArray = std::array<std::uint16_t, 700>;

// The client's own limit on the registers of a request or a read answer. It lies above the
// protocol's, so larger requests still go out and a device refuses them.
constexpr std::uint16_t MaxRegisters = 500;
// The shortest datagram that is parsed: the size of an exception answer.
constexpr std::size_t MinAnswerSize = WireFormat::ExceptionFrameSize;

// The one place where 16-bit fields meet the wire: big-endian, high byte first.
constexpr void putWord(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}
constexpr std::uint16_t getWord(const std::uint8_t* at) {
    return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

// Each returns the size of the frame built into buffer; F3 and F16 build nothing and
// return nullopt for more than MaxRegisters registers.
std::optional<std::size_t> buildF3(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t start,
                                   std::uint16_t count);
std::size_t buildF6(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t address,
                    std::uint16_t value);
std::optional<std::size_t> buildF16(FrameBuffer& buffer, std::uint16_t trId, std::uint16_t start,
                                    std::uint16_t count, const RegisterArray& values);

enum class Verdict {
    TooShort,         // fewer than MinAnswerSize bytes: not parsed
    ReadAnswer,       // function 3, registerCount registers
    WriteSingle,      // function 6 echo: address and value
    WriteMultiple,    // function 16 echo: start address (address) and quantity (value)
    Exception,        // 0x83, 0x86 or 0x90 with exceptionCode
    TooManyRegisters, // function 3 whose length field announces more than MaxRegisters
    WrongLength,      // a known function code in a datagram rest bytes too long (< 0: short)
    UnknownFunction,  // any other function code
};

struct Answer {
    Verdict verdict = Verdict::TooShort;
    std::uint16_t trId = 0;
    std::uint8_t functionCode = 0;
    // Function 3 only: (length field - 3) / 2, truncated toward zero; -1 for lengths 0 and 1.
    std::int32_t registerCount = 0;
    std::int64_t rest = 0;
    std::uint16_t address = 0;
    std::uint16_t value = 0;
    std::uint8_t exceptionCode = 0;
};

// Judges a datagram by its function code and, for function 3, its length field alone;
// protocol and unit identifier and a read answer's byte count are never looked at.
Answer classify(std::span<const std::uint8_t> datagram);

// Converts the registers of a datagram that classify() accepted as a ReadAnswer.
void decodeRegisters(std::span<const std::uint8_t> datagram, const Answer& answer,
                     RegisterArray& registers);

} // namespace FrameCodec
