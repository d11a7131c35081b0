#include "tools/device/DeviceSocket.h"

#include "tools/device/DevicePlatform.h"

#include <charconv>

std::optional<Ipv4Address> parseDottedQuad(std::string_view text) {
    Ipv4Address address{};
    const char* at = text.data();
    const char* const end = at + text.size();
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (i > 0 && (at == end || *at++ != '.')) return std::nullopt;
        unsigned value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        // from_chars takes leading zeros, which inet_pton refuses.
        if (error != std::errc{} || value > 255 || (*at == '0' && next - at > 1))
            return std::nullopt;
        address[i] = static_cast<std::uint8_t>(value);
        at = next;
    }
    if (at != end) return std::nullopt;
    return address;
}

std::string endpointText(const Endpoint& endpoint) {
    std::string text;
    for (const std::uint8_t part : endpoint.address)
        text += (text.empty() ? "" : ".") + std::to_string(part);
    return text + ":" + std::to_string(endpoint.port);
}

std::optional<DeviceSocket::Datagram> DeviceSocket::receive(std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    // A wake-up may find nothing: the datagram that signalled it was taken without a wait.
    while (true) {
        if (auto datagram = receive()) return datagram;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= std::chrono::milliseconds::zero() || !waitReadable(left)) return std::nullopt;
    }
}

std::string bindFailureText(const Endpoint& own, int error) {
    return "cannot listen on " + endpointText(own) + ": " + errorText(error) +
           bindFailureHint(error, own.port);
}

std::runtime_error stopWatchFailure(int error) {
    return std::runtime_error("cannot watch for stop signals: " + errorText(error));
}

std::runtime_error waitFailure(int error) {
    return std::runtime_error("cannot wait for requests: " + errorText(error));
}
