#pragma once

#include "tools/device/RegisterBank.h"

#include <cstdint>
#include <span>
#include <vector>

// The device's side of Modbus/UDP: one request datagram in, its answer datagram out. Pure,
// no sockets, so every request and refusal is tested without a network.
namespace RequestHandler {

// Answers function 3, 6 and 16 requests (any unit identifier, echoed) and refuses every
// other function with an exception. An empty answer means the datagram is ignored: shorter
// than a header and function code, an MBAP length that disagrees with the datagram's size,
// a function code with the exception bit set, or a request whose fields do not fill it
// exactly.
std::vector<std::uint8_t> answer(std::span<const std::uint8_t> request, RegisterBank& registers);

} // namespace RequestHandler
