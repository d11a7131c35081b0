#include "tests/support/LoopbackDevice.h"

#include "tools/device/RequestHandler.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("LoopbackDevice: " + what + ": " + std::strerror(errno));
}

sockaddr_in toSockaddr(const LoopbackDevice::Peer& peer) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(peer.port);
    address.sin_addr.s_addr = peer.address;
    return address;
}

} // namespace

LoopbackDevice::LoopbackDevice(const std::string& address, std::uint16_t port) {
    Peer own{0, port};
    if (::inet_pton(AF_INET, address.c_str(), &own.address) != 1)
        throw std::invalid_argument("LoopbackDevice: not an IPv4 address: " + address);
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) fail("socket");
    const sockaddr_in bound = toSockaddr(own);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        fail("bind " + address + ":" + std::to_string(port));
    }
}

LoopbackDevice::~LoopbackDevice() {
    ::close(fd);
}

std::optional<std::vector<std::uint8_t>>
LoopbackDevice::receive(std::chrono::milliseconds timeout) {
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
    std::vector<std::uint8_t> datagram(65536);
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    const ssize_t size = ::recvfrom(fd, datagram.data(), datagram.size(), 0,
                                    reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size < 0) fail("recvfrom");
    datagram.resize(static_cast<std::size_t>(size));
    lastSender = {sender.sin_addr.s_addr, ntohs(sender.sin_port)};
    return datagram;
}

void LoopbackDevice::reply(std::span<const std::uint8_t> bytes) {
    sendTo(lastSender, bytes);
}

void LoopbackDevice::sendTo(const Peer& peer, std::span<const std::uint8_t> bytes) {
    const sockaddr_in to = toSockaddr(peer);
    if (::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) < 0)
        fail("sendto");
}

std::optional<std::vector<std::uint8_t>> LoopbackDevice::answer(std::chrono::milliseconds timeout) {
    auto request = receive(timeout);
    if (!request) return std::nullopt;
    const auto answer = RequestHandler::answer(*request, registers);
    if (!answer.empty()) reply(answer);
    return request;
}

int LoopbackDevice::serve() {
    while (answer(std::chrono::milliseconds(0)))
        ++served;
    return served;
}
