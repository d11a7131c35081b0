#include "tools/device/RequestLog.h"

#include "core/HexDigits.h"
#include "wire/FrameCodec.h"
#include "wire/WireFormat.h"

#include <array>
#include <string>

namespace {

using FrameCodec::getWord;
using namespace WireFormat;

// The fields of an answered request; only requests that were answered are described, so
// every function code 3, 6 and 16 here comes with all its words.
std::string requestFields(std::span<const std::uint8_t> request) {
    const std::uint8_t functionCode = request[FunctionCodeOffset];
    std::string text = "F" + std::to_string(functionCode);
    if (functionCode == ReadHoldingRegisters || functionCode == WriteMultipleRegisters)
        text += " start " + std::to_string(getWord(&request[AddressOffset])) + " count " +
                std::to_string(getWord(&request[QuantityOffset]));
    else if (functionCode == WriteSingleRegister)
        text += " address " + std::to_string(getWord(&request[AddressOffset])) + " value 0x" +
                hexWord(getWord(&request[ValueOffset]));
    return text;
}

// The request as it arrived, so a log also shows frames whose fields it cannot describe.
std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        const std::array<char, 2> digits = hexDigits<2>(byte);
        if (!text.empty()) text += ' ';
        text.append(digits.begin(), digits.end());
    }
    return text;
}

// Where a datagram came from and its bytes, the start of every line.
std::string heard(std::string_view sender, std::span<const std::uint8_t> datagram) {
    return std::string(sender) + " [" + hexBytes(datagram) + "]";
}

std::string result(std::span<const std::uint8_t> answer) {
    const bool refused = (answer[FunctionCodeOffset] & ExceptionFlag) != 0;
    return refused ? "exception " + std::to_string(answer[ExceptionCodeOffset]) : "ok";
}

} // namespace

std::string describeExchange(std::string_view sender, std::span<const std::uint8_t> request,
                             std::span<const std::uint8_t> answer) {
    const std::string line = heard(sender, request);
    if (answer.empty()) return line + " " + std::to_string(request.size()) + " bytes -> ignored";
    return line + " tr " + std::to_string(getWord(&request[TransactionIdOffset])) + " unit " +
           std::to_string(request[UnitIdOffset]) + " " + requestFields(request) + " -> " +
           result(answer);
}

std::string describeFromDevicePort(std::string_view sender,
                                   std::span<const std::uint8_t> datagram) {
    return heard(sender, datagram) + " " + std::to_string(datagram.size()) +
           " bytes from a device port -> ignored";
}
