#include "tests/support/LoopbackDevice.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("LoopbackDevice: " + what + ": Winsock error " +
                             std::to_string(::WSAGetLastError()));
}

sockaddr_in toSockaddr(const LoopbackDevice::Peer& peer) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(peer.port);
    address.sin_addr.s_addr = peer.address;
    return address;
}

SOCKET native(int fd) {
    return static_cast<SOCKET>(fd);
}

} // namespace

// The device starts Winsock for itself, so it works whether or not the layer is started.
LoopbackDevice::LoopbackDevice(const std::string& address, std::uint16_t port) {
    Peer own{0, port};
    if (::inet_pton(AF_INET, address.c_str(), &own.address) != 1)
        throw std::invalid_argument("LoopbackDevice: not an IPv4 address: " + address);
    WSADATA startup;
    if (::WSAStartup(MAKEWORD(2, 2), &startup) != 0) fail("WSAStartup");
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (socket == INVALID_SOCKET) {
        ::WSACleanup();
        fail("socket");
    }
    fd = static_cast<int>(socket);
    const sockaddr_in bound = toSockaddr(own);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0) {
        const int error = ::WSAGetLastError();
        ::closesocket(socket);
        ::WSACleanup();
        ::WSASetLastError(error);
        fail("bind " + address + ":" + std::to_string(port));
    }
}

LoopbackDevice::~LoopbackDevice() {
    ::closesocket(native(fd));
    ::WSACleanup();
}

std::optional<std::vector<std::uint8_t>>
LoopbackDevice::receive(std::chrono::milliseconds timeout) {
    WSAPOLLFD waiting{native(fd), POLLRDNORM, 0};
    if (::WSAPoll(&waiting, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
    std::vector<std::uint8_t> datagram(65536);
    sockaddr_in sender{};
    int senderSize = sizeof sender;
    const int size = ::recvfrom(native(fd), reinterpret_cast<char*>(datagram.data()),
                                static_cast<int>(datagram.size()), 0,
                                reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size == SOCKET_ERROR) fail("recvfrom");
    datagram.resize(static_cast<std::size_t>(size));
    lastSender = {sender.sin_addr.s_addr, ::ntohs(sender.sin_port)};
    return datagram;
}

void LoopbackDevice::reply(std::span<const std::uint8_t> bytes) {
    sendTo(lastSender, bytes);
}

void LoopbackDevice::sendTo(const Peer& peer, std::span<const std::uint8_t> bytes) {
    const sockaddr_in to = toSockaddr(peer);
    if (::sendto(native(fd), reinterpret_cast<const char*>(bytes.data()),
                 static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) == SOCKET_ERROR)
        fail("sendto");
}
