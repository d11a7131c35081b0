#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The simulator's UDP socket: bound to one IPv4 address and port, it takes requests from
// any sender and answers each sender directly.
class DeviceSocket {
  public:
    struct Datagram {
        std::vector<std::uint8_t> bytes;
        sockaddr_in sender{};
    };

    // Throws std::runtime_error with bindFailureText() when the socket cannot be bound.
    DeviceSocket(const std::string& address, std::uint16_t port);
    ~DeviceSocket();
    DeviceSocket(const DeviceSocket&) = delete;
    DeviceSocket& operator=(const DeviceSocket&) = delete;

    int descriptor() const { return fd; }
    // The next datagram waiting, or nullopt when none waits.
    std::optional<Datagram> receive();
    // Returns false, errno set, when the datagram could not be sent.
    bool send(std::span<const std::uint8_t> bytes, const sockaddr_in& to);

  private:
    int fd = -1;
    std::vector<std::uint8_t> buffer;
};

// What went wrong, with a hint when the port is a privileged one.
std::string bindFailureText(const std::string& address, std::uint16_t port, int error);
// "127.0.0.1:40512"
std::string endpointText(const sockaddr_in& endpoint);
