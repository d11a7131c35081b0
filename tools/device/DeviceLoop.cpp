#include "tools/device/DeviceLoop.h"

#include "tools/device/DeviceSocket.h"
#include "tools/device/RequestHandler.h"
#include "tools/device/RequestLog.h"
#include "tools/device/StopSignals.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto TickPeriod = std::chrono::seconds(1);

void serveOne(DeviceSocket& socket, RegisterBank& registers, const Options& options) {
    const auto request = socket.receive();
    if (!request) return;
    // Clients send from ports of their own. From the port devices listen on come answers, of
    // another device or of this one, and answering them could go back and forth for ever.
    if (request->sender.port == options.port) {
        if (options.verbose)
            std::cout << describeFromDevicePort(endpointText(request->sender), request->bytes)
                      << std::endl;
        return;
    }
    const auto answer = RequestHandler::answer(request->bytes, registers);
    if (options.verbose)
        std::cout << describeExchange(endpointText(request->sender), request->bytes, answer)
                  << std::endl;
    if (answer.empty()) return;
    if (const int error = socket.send(answer, request->sender))
        std::cerr << "UdpRavikDevice: cannot answer " << endpointText(request->sender) << ": "
                  << errorText(error) << std::endl;
}

void serveUntilStopped(DeviceSocket& socket, RegisterBank& registers, const Options& options,
                       const StopSignals& stopSignals) {
    const bool moving = options.values == ValuePattern::Moving;
    auto nextTick = Clock::now() + TickPeriod;
    while (true) {
        const auto timeout =
            moving ? std::optional(std::max(nextTick - Clock::now(), Clock::duration::zero()))
                   : std::nullopt;
        const Wakeup wakeup = waitForStopOrRequest(stopSignals, socket, timeout);
        if (wakeup == Wakeup::Stop) break;
        if (wakeup == Wakeup::Request) serveOne(socket, registers, options);
        if (moving && Clock::now() >= nextTick) {
            registers.countUp();
            nextTick += TickPeriod;
        }
    }
    std::cout << "UdpRavikDevice stopped" << std::endl;
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
        // The options hold a dotted quad only.
        DeviceSocket socket({parseDottedQuad(options.address).value(), options.port});
        RegisterBank registers(options.values);
        // Watched for before the first line, so whoever waits for it may stop the device at once.
        const StopSignals stopSignals;
        std::cout << "UdpRavikDevice listening on " << options.address << ":" << options.port
                  << ", values " << patternName(options.values) << std::endl;
        serveUntilStopped(socket, registers, options, stopSignals);
        return 0;
    } catch (const std::runtime_error& failure) {
        std::cerr << "UdpRavikDevice: " << failure.what() << std::endl;
        return 1;
    }
}
