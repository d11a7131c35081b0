#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using Ipv4Address = std::array<std::uint8_t, 4>;

// An IPv4 address and a UDP port, in the order they are written: {127, 0, 0, 1}, 502.
struct Endpoint {
    Ipv4Address address{};
    std::uint16_t port = 0;

    bool operator==(const Endpoint&) const = default;
};

// Four decimal numbers 0..255 joined by full stops, no leading zeros: what inet_pton takes.
std::optional<Ipv4Address> parseDottedQuad(std::string_view text);
// "127.0.0.1:40512"
std::string endpointText(const Endpoint& endpoint);

// The simulator's non-blocking UDP socket: bound to one IPv4 address and port, it takes
// requests from any sender and answers each sender directly.
class DeviceSocket {
  public:
    struct Datagram {
        std::vector<std::uint8_t> bytes;
        Endpoint sender;
    };
    // The platform's handles, defined by its platform file.
    struct Native;

    // Throws std::runtime_error with bindFailureText() when the socket cannot be bound.
    explicit DeviceSocket(const Endpoint& own);
    ~DeviceSocket();
    DeviceSocket(const DeviceSocket&) = delete;
    DeviceSocket& operator=(const DeviceSocket&) = delete;

    // The next datagram waiting, or nullopt when none waits.
    std::optional<Datagram> receive();
    // The next datagram waiting or arriving within timeout, for a caller without a loop of
    // its own (the tests' device); nullopt when none comes.
    std::optional<Datagram> receive(std::chrono::milliseconds timeout);
    // 0 when the datagram was sent, else the system's error code.
    int send(std::span<const std::uint8_t> bytes, const Endpoint& to);
    // Where it is bound: for port 0, with the port the system handed out.
    Endpoint own() const;

    const Native& native() const { return *handles; }

  private:
    // Larger than any UDP payload, so no datagram is ever cut short.
    static constexpr std::size_t MaxDatagram = 65536;

    // From the platform file: true once a datagram may be waiting, false after timeout.
    bool waitReadable(std::chrono::milliseconds timeout) const;

    std::unique_ptr<Native> handles;
    std::vector<std::uint8_t> buffer;
};

// The system's text for an error code of the socket and wait calls.
std::string errorText(int code);
// What went wrong, with a hint where the system's text alone would leave the reader stuck.
std::string bindFailureText(const Endpoint& own, int error);
