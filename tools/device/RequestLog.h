#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The --verbose line for one request, its bytes in hex, and the answer it got (empty: the
// request was ignored):
//   127.0.0.1:40512 [00 02 00 00 00 06 01 03 00 18 00 64] tr 2 unit 1 F3 start 24 count 100 -> ok
//   127.0.0.1:40512 [00 07 00 00 00 06 01 04 00 00 00 01] tr 7 unit 1 F4 -> exception 1
//   127.0.0.1:40512 [01 02 03 04 05] 5 bytes -> ignored
std::string describeExchange(std::string_view sender, std::span<const std::uint8_t> request,
                             std::span<const std::uint8_t> answer);

// The --verbose line for a datagram sent from the port the device listens on, which only
// devices answer from, so it is never answered:
//   127.0.0.5:502 [00 01 00 00 00 03 01 83 02] 9 bytes from a device port -> ignored
std::string describeFromDevicePort(std::string_view sender, std::span<const std::uint8_t> datagram);
