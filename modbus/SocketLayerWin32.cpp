#include "modbus/SocketLayer.h"
#include "modbus/SocketLayerPlatform.h"

#include <winsock2.h>

#include <cstring>

#include <windows.h>

namespace SocketLayer {

const int WouldBlock = WSAEWOULDBLOCK;
const int MessageTooLong = WSAEMSGSIZE;

namespace {

// Filled by WSAStartup, held from start-up to clean-up.
WSADATA startupRecord;

bool fail(int code) {
    setLastError(code);
    return false;
}

bool failWithSocketError() {
    return fail(::WSAGetLastError());
}

bool isSocketHandle(Handle socket) {
    return socket > 0 || fail(WSAENOTSOCK);
}

// Winsock handles are small kernel handle values, so they fit the client's 32-bit field.
SOCKET native(Handle socket) {
    return static_cast<SOCKET>(socket);
}

sockaddr_in toSockaddr(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(endpoint.port);
    address.sin_addr.s_addr = endpoint.address;
    return address;
}

} // namespace

bool startup() {
    const int result = ::WSAStartup(MAKEWORD(1, 1), &startupRecord);
    return result == 0 || fail(result);
}

void cleanup() {
    ::WSACleanup();
}

Handle openUdpSocket() {
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET) {
        failWithSocketError();
        return 0;
    }
    return static_cast<Handle>(socket);
}

bool setNonBlocking(Handle socket) {
    if (!isSocketHandle(socket)) return false;
    u_long on = 1;
    return ::ioctlsocket(native(socket), FIONBIO, &on) == 0 || failWithSocketError();
}

void closeSocket(Handle socket) {
    if (socket > 0 && ::closesocket(native(socket)) != 0) failWithSocketError();
}

bool sendTo(Handle socket, std::span<const std::uint8_t> datagram, const Endpoint& to) {
    if (!isSocketHandle(socket)) return false;
    const sockaddr_in address = toSockaddr(to);
    const int sent = ::sendto(native(socket), reinterpret_cast<const char*>(datagram.data()),
                              static_cast<int>(datagram.size()), 0,
                              reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return sent != SOCKET_ERROR || failWithSocketError();
}

// Winsock itself fails an oversized datagram (WSAEMSGSIZE, the datagram is dropped) and
// reports a port that refused an earlier datagram (WSAECONNRESET).
std::optional<std::size_t> receiveFrom(Handle socket, std::span<std::uint8_t> buffer) {
    if (!isSocketHandle(socket)) return std::nullopt;
    sockaddr_in sender{};
    int senderSize = sizeof sender;
    const int size = ::recvfrom(native(socket), reinterpret_cast<char*>(buffer.data()),
                                static_cast<int>(buffer.size()), 0,
                                reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size == SOCKET_ERROR) {
        failWithSocketError();
        return std::nullopt;
    }
    return static_cast<std::size_t>(size);
}

namespace Platform {

// gethostbyname takes a dotted quad without asking a name server; its failure codes
// (WSAHOST_NOT_FOUND ...) already lie above ResolverErrorBase.
std::optional<std::uint32_t> resolveHost(std::string_view host) {
    const std::string name(host);
    // A name with an embedded NUL would be looked up cut short.
    if (name.find('\0') != std::string::npos) {
        fail(WSAHOST_NOT_FOUND);
        return std::nullopt;
    }
    const hostent* entry = ::gethostbyname(name.c_str());
    if (!entry) {
        failWithSocketError();
        return std::nullopt;
    }
    if (!entry->h_addr_list[0]) {
        fail(WSANO_DATA);
        return std::nullopt;
    }
    std::uint32_t address = 0;
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

// The system's message table in its default language, into 256 characters; a text that does
// not fit counts as none.
std::string errorText(int code) {
    char buffer[256] = "";
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
    return std::string(buffer, length);
}

} // namespace Platform

} // namespace SocketLayer
