#pragma once

#include "modbus/SocketLayer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

// Helpers of the socket layer's tests, on every platform.
namespace SocketLayerTest {

using Buffer = std::array<std::uint8_t, 2000>;

inline std::uint32_t ipv4(const char* quad) {
    in_addr address{};
    inet_pton(AF_INET, quad, &address);
    return address.s_addr;
}

inline SocketLayer::Endpoint port502(const char* quad) {
    return {ipv4(quad), 502};
}

inline std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

// A non-blocking socket of the layer, closed when the test ends.
struct LayerSocket {
    SocketLayer::Handle handle = SocketLayer::openUdpSocket();
    LayerSocket() { SocketLayer::setNonBlocking(handle); }
    ~LayerSocket() { SocketLayer::closeSocket(handle); }
};

// Loopback delivery can lag behind the sender on a busy machine: retry while nothing waits.
inline std::optional<std::size_t> receiveSoon(SocketLayer::Handle socket, Buffer& buffer) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (const auto size = SocketLayer::receiveFrom(socket, buffer)) return size;
        if (SocketLayer::lastError() != SocketLayer::WouldBlock) return std::nullopt;
        std::this_thread::sleep_for(1ms);
    }
    return std::nullopt;
}

} // namespace SocketLayerTest
