#include "tests/tools/DeviceProcess.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds leftUntil(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds::zero());
}

// Only async-signal-safe calls between fork and exec: the test process may have threads.
[[noreturn]] void execDevice(int outputFd, char* const* argv) {
    ::dup2(outputFd, STDOUT_FILENO);
    ::dup2(outputFd, STDERR_FILENO);
    // The device must not outlive a test that crashes.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::execv(RAVIK_DEVICE_PROGRAM, argv);
    ::_exit(127);
}

} // namespace

DeviceProcess::DeviceProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(RAVIK_DEVICE_PROGRAM)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("DeviceProcess: pipe");
    pid = ::fork();
    if (pid == 0) execDevice(output[1], argv.data());
    ::close(output[1]);
    fromDevice = output[0];
    if (pid < 0) throw std::runtime_error("DeviceProcess: fork");
}

DeviceProcess::~DeviceProcess() {
    if (pid > 0) stop(SIGKILL);
    ::close(fromDevice);
}

bool DeviceProcess::readSome(std::chrono::milliseconds timeout) {
    pollfd waiting{fromDevice, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0) return true;
    char chunk[512];
    const ssize_t size = ::read(fromDevice, chunk, sizeof chunk);
    if (size <= 0) return false;
    said.append(chunk, static_cast<std::size_t>(size));
    return true;
}

bool DeviceProcess::waitForOutput(std::string_view text, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (said.find(text) == std::string::npos)
        if (Clock::now() >= deadline || !readSome(leftUntil(deadline))) return false;
    return true;
}

std::optional<int> DeviceProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (pid <= 0) return std::nullopt;
    // The end of the output comes when the program ends.
    const auto deadline = Clock::now() + timeout;
    bool ended = false;
    while (!ended && Clock::now() < deadline)
        ended = !readSome(leftUntil(deadline));
    if (!ended) return std::nullopt;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::optional<int> DeviceProcess::stop(int signal, std::chrono::milliseconds timeout) {
    if (pid <= 0) return std::nullopt;
    ::kill(pid, signal);
    return waitForExit(timeout);
}
