#include "tests/support/PymodbusDevice.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* Python = RAVIK_PYTHON;
constexpr const char* Script = RAVIK_PYMODBUS_DEVICE_SCRIPT;

// Only async-signal-safe calls between fork and exec: the test process has threads.
[[noreturn]] void execDevice(int stdinFd, int stdoutFd, const char* address) {
    ::dup2(stdinFd, STDIN_FILENO);
    ::dup2(stdoutFd, STDOUT_FILENO);
    // The device must not outlive a test that crashes.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::execl(Python, Python, Script, address, static_cast<char*>(nullptr));
    ::_exit(127);
}

} // namespace

PymodbusDevice::PymodbusDevice(std::string address, std::chrono::milliseconds startTimeout)
    : listenAddress(std::move(address)) {
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) throw std::runtime_error("PymodbusDevice: pipe");
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        throw std::runtime_error("PymodbusDevice: pipe");
    }
    pid = ::fork();
    if (pid == 0) execDevice(input[0], output[1], listenAddress.c_str());
    ::close(input[0]);
    ::close(output[1]);
    toDevice = input[1];
    fromDevice = output[0];
    if (pid < 0) {
        stop();
        throw std::runtime_error("PymodbusDevice: fork");
    }
    try {
        waitUntilReady(startTimeout);
    } catch (...) {
        stop();
        throw;
    }
}

PymodbusDevice::~PymodbusDevice() {
    stop();
}

void PymodbusDevice::waitUntilReady(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string said;
    while (said.find("READY\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{fromDevice, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("PymodbusDevice: no READY from " + listenAddress);
        char chunk[256];
        const ssize_t size = ::read(fromDevice, chunk, sizeof chunk);
        if (size <= 0)
            throw std::runtime_error("PymodbusDevice: device on " + listenAddress + " ended");
        said.append(chunk, static_cast<std::size_t>(size));
    }
}

void PymodbusDevice::stop() {
    if (toDevice >= 0) ::close(toDevice);
    if (fromDevice >= 0) ::close(fromDevice);
    toDevice = fromDevice = -1;
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}
