#include "tools/device/DevicePlatform.h"
#include "tools/device/DeviceSocket.h"
#include "tools/device/SocketAddress.h"
#include "tools/device/StopSignals.h"

#include <winsock2.h>

#include <iterator>
#include <string_view>

#include <windows.h>

namespace {

// Started at the first socket and cleaned up when the program ends: once a run.
int startWinsock() {
    static const struct Session {
        WSADATA record{};
        int error = ::WSAStartup(MAKEWORD(2, 2), &record);
        ~Session() {
            if (error == 0) ::WSACleanup();
        }
    } session;
    return session.error;
}

// Set by Ctrl+C, Ctrl+Break and closing the console, and never reset. Made once and kept for
// the whole run: the console handler runs on a thread of its own at any time, even while
// StopSignals is being torn down.
HANDLE stopRequested() {
    static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

BOOL WINAPI onConsoleControl(DWORD control) {
    if (control != CTRL_C_EVENT && control != CTRL_BREAK_EVENT && control != CTRL_CLOSE_EVENT)
        return FALSE;
    ::SetEvent(stopRequested());
    // Windows ends the process as soon as this returns from a close: wait instead for the
    // loop to stop and main to return, which ends this thread too.
    if (control == CTRL_CLOSE_EVENT) ::Sleep(INFINITE);
    return TRUE;
}

int lastError() {
    return static_cast<int>(::GetLastError());
}

} // namespace

struct DeviceSocket::Native {
    SOCKET socket = INVALID_SOCKET;
    // Set while datagrams wait; it resets itself when it ends a wait, and each recvfrom sets
    // it again while more wait.
    HANDLE readable = nullptr;

    ~Native() {
        if (socket != INVALID_SOCKET) ::closesocket(socket);
        if (readable) ::CloseHandle(readable);
    }
};

struct StopSignals::Native {
    HANDLE requested = nullptr;
};

DeviceSocket::DeviceSocket(const Endpoint& own)
    : handles(std::make_unique<Native>()), buffer(MaxDatagram) {
    if (const int error = startWinsock()) throw std::runtime_error(bindFailureText(own, error));
    const sockaddr_in address = toSockaddr(own);
    handles->socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handles->socket == INVALID_SOCKET ||
        ::bind(handles->socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error(bindFailureText(own, ::WSAGetLastError()));
    handles->readable = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!handles->readable) throw std::runtime_error(bindFailureText(own, lastError()));
    // Also makes the socket non-blocking.
    if (::WSAEventSelect(handles->socket, handles->readable, FD_READ) != 0)
        throw std::runtime_error(bindFailureText(own, ::WSAGetLastError()));
}

DeviceSocket::~DeviceSocket() = default;

std::optional<DeviceSocket::Datagram> DeviceSocket::receive() {
    sockaddr_in sender{};
    int senderSize = sizeof sender;
    const int size = ::recvfrom(handles->socket, reinterpret_cast<char*>(buffer.data()),
                                static_cast<int>(buffer.size()), 0,
                                reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (size == SOCKET_ERROR) return std::nullopt;
    return Datagram{{buffer.begin(), buffer.begin() + size}, fromSockaddr(sender)};
}

bool DeviceSocket::waitReadable(std::chrono::milliseconds timeout) const {
    return ::WaitForSingleObject(handles->readable, static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

int DeviceSocket::send(std::span<const std::uint8_t> bytes, const Endpoint& to) {
    const sockaddr_in address = toSockaddr(to);
    return ::sendto(handles->socket, reinterpret_cast<const char*>(bytes.data()),
                    static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&address),
                    sizeof address) == SOCKET_ERROR
               ? ::WSAGetLastError()
               : 0;
}

Endpoint DeviceSocket::own() const {
    sockaddr_in address{};
    int size = sizeof address;
    ::getsockname(handles->socket, reinterpret_cast<sockaddr*>(&address), &size);
    return fromSockaddr(address);
}

// The system's message table in its default language, without the full stop and line break
// that end its texts; a code it has no text for is given by number.
std::string errorText(int code) {
    char buffer[512] = "";
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
    std::string_view text(buffer, length);
    while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= ' '))
        text.remove_suffix(1);
    return text.empty() ? "error " + std::to_string(code) : std::string(text);
}

std::string bindFailureHint(int error, std::uint16_t) {
    if (error != WSAEADDRINUSE && error != WSAEACCES) return "";
    return "\nAnother program holds the port, or Windows reserves it (netsh interface ipv4 show\n"
           "excludedportrange protocol=udp). The monitor always sends to port 502.";
}

std::string platformHelp() {
    return "Ctrl+C, Ctrl+Break or closing its console window ends the device.\n";
}

StopSignals::StopSignals() : handles(std::make_unique<Native>()) {
    handles->requested = stopRequested();
    if (!handles->requested || !::SetConsoleCtrlHandler(onConsoleControl, TRUE))
        throw stopWatchFailure(lastError());
}

StopSignals::~StopSignals() {
    ::SetConsoleCtrlHandler(onConsoleControl, FALSE);
}

Wakeup waitForStopOrRequest(const StopSignals& stop, const DeviceSocket& socket,
                            std::optional<std::chrono::nanoseconds> timeout) {
    // Of several events set, the wait names the first: the stop comes first, so no flood of
    // datagrams can put it off.
    const HANDLE events[] = {stop.native().requested, socket.native().readable};
    const DWORD milliseconds =
        timeout ? static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(*timeout).count())
                : INFINITE;
    switch (::WaitForMultipleObjects(std::size(events), events, FALSE, milliseconds)) {
    case WAIT_OBJECT_0:
        return Wakeup::Stop;
    case WAIT_OBJECT_0 + 1:
        return Wakeup::Request;
    case WAIT_TIMEOUT:
        return Wakeup::Timeout;
    default:
        throw waitFailure(lastError());
    }
}
