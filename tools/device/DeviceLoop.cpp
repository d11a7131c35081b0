#include "tools/device/DeviceLoop.h"

#include "tools/device/DeviceSocket.h"
#include "tools/device/RequestHandler.h"
#include "tools/device/RequestLog.h"
#include "tools/device/StopSignals.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto TickPeriod = std::chrono::seconds(1);

timespec timeUntil(Clock::time_point deadline) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    return {static_cast<time_t>(seconds.count()),
            static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
}

void serveOne(DeviceSocket& socket, RegisterBank& registers, const Options& options) {
    const auto request = socket.receive();
    if (!request) return;
    // Clients send from ports of their own. From the port devices listen on come answers, of
    // another device or of this one, and answering them could go back and forth for ever.
    if (ntohs(request->sender.sin_port) == options.port) {
        if (options.verbose)
            std::cout << describeFromDevicePort(endpointText(request->sender), request->bytes)
                      << std::endl;
        return;
    }
    const auto answer = RequestHandler::answer(request->bytes, registers);
    if (options.verbose)
        std::cout << describeExchange(endpointText(request->sender), request->bytes, answer)
                  << std::endl;
    if (answer.empty() || socket.send(answer, request->sender)) return;
    const int error = errno;
    std::cerr << "UdpRavikDevice: cannot answer " << endpointText(request->sender) << ": "
              << std::strerror(error) << std::endl;
}

int serveUntilStopped(DeviceSocket& socket, RegisterBank& registers, const Options& options,
                      const StopSignals& stopSignals) {
    const bool moving = options.values == ValuePattern::Moving;
    auto nextTick = Clock::now() + TickPeriod;
    while (true) {
        pollfd waiting[] = {{stopSignals.descriptor(), POLLIN, 0},
                            {socket.descriptor(), POLLIN, 0}};
        const timespec timeout = timeUntil(nextTick);
        if (::ppoll(waiting, std::size(waiting), moving ? &timeout : nullptr, nullptr) < 0 &&
            errno != EINTR) {
            std::cerr << "UdpRavikDevice: cannot wait for requests: " << std::strerror(errno)
                      << std::endl;
            return 1;
        }
        // Looked at before the socket, so no flood of datagrams can put off a stop.
        if (waiting[0].revents != 0) break;
        if (waiting[1].revents != 0) serveOne(socket, registers, options);
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
        // Watched for before the first line, so whoever waits for it may stop the device at once.
        const StopSignals stopSignals;
        std::cout << "UdpRavikDevice listening on " << options.address << ":" << options.port
                  << ", values " << patternName(options.values) << std::endl;
        return serveUntilStopped(socket, registers, options, stopSignals);
    } catch (const std::runtime_error& failure) {
        std::cerr << "UdpRavikDevice: " << failure.what() << std::endl;
        return 1;
    }
}
