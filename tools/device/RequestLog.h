#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The --verbose line for one request and the answer it got (empty: the request was ignored):
//   127.0.0.1:40512 tr 24 unit 1 F3 start 24 count 100 -> ok
//   127.0.0.1:40512 tr 7 unit 1 F3 start 0 count 126 -> exception 3
//   127.0.0.1:40512 5 bytes -> ignored
std::string describeExchange(std::string_view sender, std::span<const std::uint8_t> request,
                             std::span<const std::uint8_t> answer);
