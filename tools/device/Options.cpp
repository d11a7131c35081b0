#include "tools/device/Options.h"

#include "tools/device/DevicePlatform.h"
#include "tools/device/DeviceSocket.h"

#include <charconv>
#include <optional>

namespace {

std::optional<std::uint16_t> parsePort(std::string_view text) {
    unsigned port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc{} || end != text.data() + text.size() || port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

std::optional<ValuePattern> parsePattern(std::string_view text) {
    if (text == "zeros") return ValuePattern::Zeros;
    if (text == "count") return ValuePattern::Count;
    if (text == "moving") return ValuePattern::Moving;
    return std::nullopt;
}

// Stores one option's value; returns the error text, empty when the value is good.
std::string applyValue(Options& options, std::string_view name, std::string_view value) {
    if (name == "--address") {
        options.address = value;
        return parseDottedQuad(options.address) ? "" : "not an IPv4 address: " + options.address;
    }
    if (name == "--port") {
        const auto port = parsePort(value);
        if (port) options.port = *port;
        return port ? "" : "not a port (1..65535): " + std::string(value);
    }
    const auto pattern = parsePattern(value); // --values
    if (pattern) options.values = *pattern;
    return pattern ? "" : "not a value pattern (zeros, count, moving): " + std::string(value);
}

bool takesValue(std::string_view name) {
    return name == "--address" || name == "--port" || name == "--values";
}

} // namespace

ParsedOptions parseOptions(std::span<const std::string_view> arguments) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        std::string_view name = arguments[i];
        std::optional<std::string_view> value;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (takesValue(name)) {
            if (!value && i + 1 < arguments.size()) value = arguments[++i];
            parsed.error = value ? applyValue(parsed.options, name, *value)
                                 : std::string(name) + " needs a value";
        } else if (name == "--verbose" && !value) {
            parsed.options.verbose = true;
        } else if (name == "--help" && !value) {
            parsed.options.help = true;
        } else {
            parsed.error = "unknown option: " + std::string(arguments[i]);
        }
    }
    return parsed;
}

std::string helpText() {
    return R"(Usage: UdpRavikDevice [options]

A Modbus/UDP device to try the monitor with: 65536 holding registers (addresses 0..65535)
behind MBAP framing, one frame per datagram. It answers function 3 (1..125 registers),
6 and 16 (1..123 registers), refuses other functions and out-of-range requests with the
Modbus exception a device gives, and ignores datagrams it cannot parse.

It never answers what it takes for an answer, so that no two devices, nor it and itself,
keep answering each other: exception frames (function codes 128..255), and any datagram
sent from the port it listens on (--port), where devices answer from; clients send from
ports of their own.

Options:
  --address A    IPv4 address to listen on, dotted quad (default 127.0.0.1)
  --port N       UDP port to listen on, 1..65535 (default 502, where the monitor sends)
  --values P     start values of the registers (default count):
                   zeros   every register holds 0
                   count   register a holds a
                   moving  as count, and every register counts up by one each second
  --verbose      log one line per request on standard output
  --help         show this text and exit

)" + platformHelp();
}
