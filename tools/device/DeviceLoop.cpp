#include "tools/device/DeviceLoop.h"

#include "tools/device/DeviceSocket.h"
#include "tools/device/RequestHandler.h"
#include "tools/device/RequestLog.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto TickPeriod = std::chrono::seconds(1);

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// SIGINT and SIGTERM stay blocked except while ppoll waits, so a stop signal can never slip
// in between the check of the flag and the wait. Returns the mask to wait with.
sigset_t catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    return waitMask;
}

timespec timeUntil(Clock::time_point deadline) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    return {static_cast<time_t>(seconds.count()),
            static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
}

void serveOne(DeviceSocket& socket, RegisterBank& registers, bool verbose) {
    const auto request = socket.receive();
    if (!request) return;
    const auto answer = RequestHandler::answer(request->bytes, registers);
    if (verbose)
        std::cout << describeExchange(endpointText(request->sender), request->bytes, answer)
                  << std::endl;
    if (answer.empty() || socket.send(answer, request->sender)) return;
    const int error = errno;
    std::cerr << "UdpRavikDevice: cannot answer " << endpointText(request->sender) << ": "
              << std::strerror(error) << std::endl;
}

int serveUntilStopped(DeviceSocket& socket, RegisterBank& registers, const Options& options,
                      const sigset_t& waitMask) {
    const bool moving = options.values == ValuePattern::Moving;
    auto nextTick = Clock::now() + TickPeriod;
    while (!stopRequested) {
        pollfd waiting{socket.descriptor(), POLLIN, 0};
        const timespec timeout = timeUntil(nextTick);
        const int ready = ::ppoll(&waiting, 1, moving ? &timeout : nullptr, &waitMask);
        if (ready < 0 && errno != EINTR) {
            std::cerr << "UdpRavikDevice: cannot wait for requests: " << std::strerror(errno)
                      << std::endl;
            return 1;
        }
        if (ready > 0) serveOne(socket, registers, options.verbose);
        if (moving && Clock::now() >= nextTick) {
            registers.countUp();
            nextTick += TickPeriod;
        }
    }
    std::cout << "UdpRavikDevice stopped" << std::endl;
    return 0;
}

const char* patternName(ValuePattern pattern) {
    switch (pattern) {
    case ValuePattern::Zeros:
        return "zeros";
    case ValuePattern::Count:
        return "count";
    case ValuePattern::Moving:
        return "moving";
    }
    return "";
}

} // namespace

int runDevice(const Options& options) {
    try {
        DeviceSocket socket(options.address, options.port);
        RegisterBank registers(options.values);
        // Caught before the first line, so whoever waits for it may stop the device at once.
        const sigset_t waitMask = catchStopSignals();
        std::cout << "UdpRavikDevice listening on " << options.address << ":" << options.port
                  << ", values " << patternName(options.values) << std::endl;
        return serveUntilStopped(socket, registers, options, waitMask);
    } catch (const std::runtime_error& failure) {
        std::cerr << "UdpRavikDevice: " << failure.what() << std::endl;
        return 1;
    }
}
