#pragma once

#include "tools/device/RegisterBank.h"
#include "wire/WireFormat.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct Options {
    std::string address = "127.0.0.1"; // IPv4 dotted quad; no name is ever resolved
    std::uint16_t port = WireFormat::ModbusPort;
    ValuePattern values = ValuePattern::Count;
    bool verbose = false;
    bool help = false;
};

struct ParsedOptions {
    Options options;
    std::string error; // empty when the command line was understood
};

// Reads the arguments after the program name; each option with a value takes it as the
// next argument or after '=' (--port 1502, --port=1502).
ParsedOptions parseOptions(std::span<const std::string_view> arguments);

std::string helpText();
