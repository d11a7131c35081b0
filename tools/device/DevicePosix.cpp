#include "tools/device/DevicePlatform.h"
#include "tools/device/DeviceSocket.h"
#include "tools/device/SocketAddress.h"
#include "tools/device/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class Descriptor {
  public:
    Descriptor() = default;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int fd = -1;
};

} // namespace

struct DeviceSocket::Native : Descriptor {};
struct StopSignals::Native : Descriptor {};

DeviceSocket::DeviceSocket(const Endpoint& own)
    : handles(std::make_unique<Native>()), buffer(MaxDatagram) {
    const sockaddr_in address = toSockaddr(own);
    handles->fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (handles->fd < 0 ||
        ::bind(handles->fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error(bindFailureText(own, errno));
}

DeviceSocket::~DeviceSocket() = default;

std::optional<DeviceSocket::Datagram> DeviceSocket::receive() {
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    const ssize_t size = ::recvfrom(handles->fd, buffer.data(), buffer.size(), 0,
                                    reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size < 0) return std::nullopt;
    return Datagram{{buffer.begin(), buffer.begin() + size}, fromSockaddr(sender)};
}

bool DeviceSocket::waitReadable(std::chrono::milliseconds timeout) const {
    pollfd waiting{handles->fd, POLLIN, 0};
    return ::poll(&waiting, 1, static_cast<int>(timeout.count())) > 0;
}

int DeviceSocket::send(std::span<const std::uint8_t> bytes, const Endpoint& to) {
    const sockaddr_in address = toSockaddr(to);
    return ::sendto(handles->fd, bytes.data(), bytes.size(), 0,
                    reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0
               ? errno
               : 0;
}

Endpoint DeviceSocket::own() const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(handles->fd, reinterpret_cast<sockaddr*>(&address), &size);
    return fromSockaddr(address);
}

std::string errorText(int code) {
    return std::strerror(code);
}

std::string bindFailureHint(int error, std::uint16_t port) {
    if (error != EACCES || port >= 1024) return "";
    return "\nPorts below 1024 need privileges: run it as root, in a network of its own\n"
           "(unshare --user --map-root-user --net, as make demo does), or lower the first\n"
           "unprivileged port with sysctl -w net.ipv4.ip_unprivileged_port_start=" +
           std::to_string(port) + ".\nThe monitor always sends to port 502.";
}

std::string platformHelp() {
    return R"(Ports below 1024 need root, a network namespace of its own (unshare --user
--map-root-user --net), or a lower net.ipv4.ip_unprivileged_port_start
(sysctl -w net.ipv4.ip_unprivileged_port_start=502). Ctrl-C ends the device.
)";
}

StopSignals::StopSignals() : handles(std::make_unique<Native>()) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    handles->fd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (handles->fd < 0) throw stopWatchFailure(errno);
}

StopSignals::~StopSignals() = default;

Wakeup waitForStopOrRequest(const StopSignals& stop, const DeviceSocket& socket,
                            std::optional<std::chrono::nanoseconds> timeout) {
    pollfd waiting[] = {{stop.native().fd, POLLIN, 0}, {socket.native().fd, POLLIN, 0}};
    const std::chrono::nanoseconds left = timeout.value_or(std::chrono::nanoseconds::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec limit{static_cast<time_t>(seconds.count()),
                         static_cast<long>((left - seconds).count())};
    if (::ppoll(waiting, std::size(waiting), timeout ? &limit : nullptr, nullptr) < 0) {
        if (errno != EINTR) throw waitFailure(errno);
        return Wakeup::Timeout;
    }
    // Looked at before the socket, so no flood of datagrams can put off a stop.
    if (waiting[0].revents != 0) return Wakeup::Stop;
    return waiting[1].revents != 0 ? Wakeup::Request : Wakeup::Timeout;
}
