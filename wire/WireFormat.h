#pragma once

#include <cstddef>
#include <cstdint>

// The layout of a Modbus/UDP frame: an MBAP header, a function code and the function's data,
// 16-bit fields big-endian (FrameCodec::putWord and getWord write and read them).
namespace WireFormat {

// The UDP port a device listens on.
constexpr std::uint16_t ModbusPort = 502;

enum FunctionCode : std::uint8_t {
    ReadHoldingRegisters = 3,
    WriteSingleRegister = 6,
    WriteMultipleRegisters = 16,
};

// A device refuses a request by answering with its function code, this bit set.
constexpr std::uint8_t ExceptionFlag = 0x80;
constexpr std::uint8_t exceptionFunction(std::uint8_t functionCode) {
    return static_cast<std::uint8_t>(functionCode | ExceptionFlag);
}

enum ExceptionCode : std::uint8_t {
    IllegalFunction = 0x01,
    IllegalDataAddress = 0x02,
    IllegalDataValue = 0x03,
};

// The largest register counts of functions 3 and 16: one more and the read answer or the
// write request would outgrow the 253 bytes a Modbus PDU may hold.
constexpr std::uint16_t MaxReadQuantity = 125;
constexpr std::uint16_t MaxWriteQuantity = 123;

// The MBAP header. The length field counts the bytes from the unit identifier to the end.
constexpr std::size_t TransactionIdOffset = 0;
constexpr std::size_t ProtocolIdOffset = 2;
constexpr std::size_t LengthOffset = 4;
constexpr std::size_t UnitIdOffset = 6;
constexpr std::uint16_t ModbusProtocolId = 0; // the protocol identifier field's value

// The function code follows the 7-byte header; together they are the least a frame holds.
constexpr std::size_t FunctionCodeOffset = 7;
constexpr std::size_t HeaderSize = 8;

// Requests of functions 3, 6 and 16 carry two words after the function code, and the answers
// to 6 and 16 echo them.
constexpr std::size_t AddressOffset = 8;   // start address of 3 and 16; the register 6 writes
constexpr std::size_t QuantityOffset = 10; // register count of functions 3 and 16
constexpr std::size_t ValueOffset = QuantityOffset; // the value function 6 writes
// Requests of functions 3 and 6, and the write answers: nothing follows the two words.
constexpr std::size_t FixedFrameSize = 12;

// A function 16 request goes on with a byte count and the values.
constexpr std::size_t WriteByteCountOffset = 12;
constexpr std::size_t WriteValuesOffset = 13;

// A function 3 answer: a byte count and the values.
constexpr std::size_t ReadByteCountOffset = 8;
constexpr std::size_t ReadValuesOffset = 9;

// An exception answer: one byte, the exception code.
constexpr std::size_t ExceptionCodeOffset = 8;
constexpr std::size_t ExceptionFrameSize = 9;

} // namespace WireFormat
