#include "modbus/SocketLayer.h"
#include "modbus/SocketLayerPlatform.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/errqueue.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace SocketLayer {

const int WouldBlock = EWOULDBLOCK;
const int MessageTooLong = EMSGSIZE;

namespace {

bool fail(int code) {
    setLastError(code);
    return false;
}

// Handle 0 means "no socket" and must never reach descriptor 0 (standard input).
bool isSocketHandle(Handle socket) {
    return socket > 0 || fail(ENOTSOCK);
}

// Keeps sockets off the standard descriptors, so a socket is never handle 0.
int awayFromStandardDescriptors(int fd) {
    if (fd < 0 || fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int error = errno;
    ::close(fd);
    errno = error;
    return moved;
}

sockaddr_in toSockaddr(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = endpoint.address;
    return address;
}

// Takes one report off the socket's error queue: its error code, 0 when it carries none,
// nullopt when the queue is empty.
std::optional<int> takeQueuedError(int fd) {
    alignas(cmsghdr) char control[256];
    msghdr message{};
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (::recvmsg(fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) return std::nullopt;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR) continue;
        sock_extended_err report{};
        std::memcpy(&report, CMSG_DATA(c), sizeof report);
        return static_cast<int>(report.ee_errno);
    }
    return 0;
}

// Empties the error queue, whose reports would otherwise take the room of answers in the
// receive buffer, and returns the first report's code (0 when none carried one).
int drainErrorQueue(int fd) {
    int first = 0;
    while (const auto code = takeQueuedError(fd))
        if (first == 0) first = *code;
    return first;
}

// A refusal of an earlier datagram waits in the error queue for the next receive; taking its
// pending error off the socket keeps it from failing an unrelated send.
void clearPendingError(int fd) {
    int pending = 0;
    socklen_t size = sizeof pending;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &size);
}

// A refusal reported by the receive itself or found in the error queue fails the receive.
std::optional<std::size_t> failReceive(int fd, int error) {
    const int queued = drainErrorQueue(fd);
    const bool nothingWaiting = error == EAGAIN || error == EWOULDBLOCK;
    fail(nothingWaiting && queued != 0 ? queued : error);
    return std::nullopt;
}

bool isUnknownText(const char* text) {
    return std::strncmp(text, "Unknown error", std::strlen("Unknown error")) == 0;
}

// strerror_r comes in the XSI and the GNU variant; both end up here.
[[maybe_unused]] const char* chosenText(int result, const char* buffer) {
    return result == 0 ? buffer : "";
}
[[maybe_unused]] const char* chosenText(const char* result, const char*) {
    return result;
}

std::string socketErrorText(int code) {
#ifdef __GLIBC__
    if (!strerrorname_np(code)) return {};
#endif
    char buffer[256] = "";
    const char* text = chosenText(strerror_r(code, buffer, sizeof buffer), buffer);
    return isUnknownText(text) ? std::string() : std::string(text);
}

// getaddrinfo's codes are negative on some systems and positive on others.
constexpr int ResolverErrorBand = 1000;
constexpr int resolverSign = EAI_NONAME < 0 ? -1 : 1;

std::string resolverErrorText(int resolverCode) {
    const char* text = ::gai_strerror(resolverSign * resolverCode);
    return isUnknownText(text) ? std::string() : std::string(text);
}

void failResolve(int gaiResult) {
    const int systemError = errno;
    if (gaiResult == EAI_SYSTEM && systemError != 0)
        setLastError(systemError);
    else
        setLastError(ResolverErrorBase + std::abs(gaiResult));
}

} // namespace

bool startup() {
    return true;
}

void cleanup() {}

Handle openUdpSocket() {
    const int fd =
        awayFromStandardDescriptors(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
    if (fd < 0) {
        fail(errno);
        return 0;
    }
    // Without IP_RECVERR an unconnected UDP socket never hears that a port refused it.
    const int on = 1;
    if (::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on) != 0) {
        const int error = errno;
        ::close(fd);
        fail(error);
        return 0;
    }
    return fd;
}

bool setNonBlocking(Handle socket) {
    if (!isSocketHandle(socket)) return false;
    const int flags = ::fcntl(socket, F_GETFL);
    if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) return fail(errno);
    return true;
}

void closeSocket(Handle socket) {
    if (socket > 0 && ::close(socket) != 0) fail(errno);
}

bool sendTo(Handle socket, std::span<const std::uint8_t> datagram, const Endpoint& to) {
    if (!isSocketHandle(socket)) return false;
    clearPendingError(socket);
    const sockaddr_in address = toSockaddr(to);
    const ssize_t sent = ::sendto(socket, datagram.data(), datagram.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return sent >= 0 || fail(errno);
}

std::optional<std::size_t> receiveFrom(Handle socket, std::span<std::uint8_t> buffer) {
    if (!isSocketHandle(socket)) return std::nullopt;
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    // MSG_TRUNC: the result is the datagram's real size, so an oversized one is noticed.
    const ssize_t size = ::recvfrom(socket, buffer.data(), buffer.size(), MSG_TRUNC,
                                    reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size < 0) return failReceive(socket, errno);
    if (static_cast<std::size_t>(size) > buffer.size()) {
        fail(MessageTooLong);
        return std::nullopt;
    }
    return static_cast<std::size_t>(size);
}

namespace Platform {

std::optional<std::uint32_t> resolveHost(std::string_view host) {
    const std::string name(host);
    // A name with an embedded NUL would be looked up cut short.
    if (name.find('\0') != std::string::npos) {
        failResolve(EAI_NONAME);
        return std::nullopt;
    }
    in_addr quad{};
    if (::inet_pton(AF_INET, name.c_str(), &quad) == 1) return quad.s_addr;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    errno = 0;
    if (const int result = ::getaddrinfo(name.c_str(), nullptr, &hints, &found); result != 0) {
        failResolve(result);
        return std::nullopt;
    }
    sockaddr_in first{};
    std::memcpy(&first, found->ai_addr, sizeof first);
    ::freeaddrinfo(found);
    return first.sin_addr.s_addr;
}

std::string errorText(int code) {
    if (code > ResolverErrorBase && code < ResolverErrorBase + ResolverErrorBand)
        return resolverErrorText(code - ResolverErrorBase);
    return socketErrorText(code);
}

} // namespace Platform

} // namespace SocketLayer
