#pragma once

#include "tests/support/LoopbackDevice.h"

#include <arpa/inet.h>
#include <chrono>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// The requesting side for device tests: a UDP socket on an ephemeral loopback port that sends
// requests to a device on <address>:502 and takes the answers.
class RequestClient {
  public:
    explicit RequestClient(const std::string& deviceAddress) : socket("127.0.0.1", 0) {
        if (::inet_pton(AF_INET, deviceAddress.c_str(), &device.address) != 1)
            throw std::invalid_argument("RequestClient: not an IPv4 address: " + deviceAddress);
    }

    void send(std::span<const std::uint8_t> request) { socket.sendTo(device, request); }
    std::optional<std::vector<std::uint8_t>>
    answer(std::chrono::milliseconds timeout = std::chrono::seconds(2)) {
        return socket.receive(timeout);
    }
    std::optional<std::vector<std::uint8_t>> ask(std::span<const std::uint8_t> request) {
        send(request);
        return answer();
    }
    // The port the last answer came from: a device answers from the port it listens on.
    std::uint16_t answeredFrom() const { return socket.client().port; }

  private:
    LoopbackDevice socket;
    LoopbackDevice::Peer device{0, 502};
};
