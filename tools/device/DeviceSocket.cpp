#include "tools/device/DeviceSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Larger than any UDP payload, so no datagram is ever cut short.
constexpr std::size_t MaxDatagram = 65536;

} // namespace

DeviceSocket::DeviceSocket(const std::string& address, std::uint16_t port) : buffer(MaxDatagram) {
    sockaddr_in own{};
    own.sin_family = AF_INET;
    own.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &own.sin_addr) != 1)
        throw std::runtime_error(bindFailureText(address, port, EINVAL));
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) throw std::runtime_error(bindFailureText(address, port, errno));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&own), sizeof own) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::runtime_error(bindFailureText(address, port, error));
    }
}

DeviceSocket::~DeviceSocket() {
    ::close(fd);
}

std::optional<DeviceSocket::Datagram> DeviceSocket::receive() {
    Datagram datagram;
    socklen_t senderSize = sizeof datagram.sender;
    const ssize_t size = ::recvfrom(fd, buffer.data(), buffer.size(), 0,
                                    reinterpret_cast<sockaddr*>(&datagram.sender), &senderSize);
    if (size < 0) return std::nullopt;
    datagram.bytes.assign(buffer.begin(), buffer.begin() + size);
    return datagram;
}

bool DeviceSocket::send(std::span<const std::uint8_t> bytes, const sockaddr_in& to) {
    return ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                    sizeof to) >= 0;
}

std::string bindFailureText(const std::string& address, std::uint16_t port, int error) {
    std::string text =
        "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(error);
    if (error == EACCES && port < 1024)
        text += "\nPorts below 1024 need privileges: run it as root, in a network of its own\n"
                "(unshare --user --map-root-user --net, as make demo does), or lower the first\n"
                "unprivileged port with sysctl -w net.ipv4.ip_unprivileged_port_start=" +
                std::to_string(port) + ".\nThe monitor always sends to port 502.";
    return text;
}

std::string endpointText(const sockaddr_in& endpoint) {
    char address[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &endpoint.sin_addr, address, sizeof address);
    return std::string(address) + ":" + std::to_string(ntohs(endpoint.sin_port));
}
