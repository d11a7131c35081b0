#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The thin socket layer under the client: the handful of datagram operations it needs, over
// POSIX sockets (Winsock under _WIN32). Every call that fails sets the calling thread's last
// error, which LogLastError and the receive failure line report.
namespace SocketLayer {

// A socket handle; 0 means "no socket" and a real socket never gets it.
using Handle = std::int32_t;

// An IPv4 address in network byte order and a port in host order.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};

// "No datagram waiting" from a non-blocking receive.
extern const int WouldBlock;
// A datagram larger than the receive buffer was dropped.
extern const int MessageTooLong;
// Resolver failures carry codes from here on, apart from the socket errors.
constexpr int ResolverErrorBase = 11000;

// Once per run, before and after every other call. startup() returns false on failure.
bool startup();
void cleanup();

// A UDP socket that reports refused ports on receive; 0 on failure.
Handle openUdpSocket();
// Switches the socket to non-blocking mode.
bool setNonBlocking(Handle socket);
void closeSocket(Handle socket);

// Sends the whole datagram; false on failure.
bool sendTo(Handle socket, std::span<const std::uint8_t> datagram, const Endpoint& to);
// Takes the next datagram into buffer and returns its size, or nullopt on failure: WouldBlock
// when none waits, MessageTooLong (the datagram is dropped) when it exceeds the buffer, or
// the error of an earlier send that the network refused.
std::optional<std::size_t> receiveFrom(Handle socket, std::span<std::uint8_t> buffer);

// Resolution: a dotted quad needs no query; a name asks the system's resolver (IPv4 only).
// A Resolver returns the address in network byte order, or nullopt after setLastError(code).
using Resolver = std::function<std::optional<std::uint32_t>(std::string_view host)>;
// Tests replace the resolver; an empty one restores the real resolver.
void setResolver(Resolver r);
std::optional<std::uint32_t> resolve(std::string_view host);

void setLastError(int code);
int lastError();
// The platform's text for a socket or resolver error code; empty when it has none.
std::string errorText(int code);

} // namespace SocketLayer
