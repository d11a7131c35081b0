#pragma once

#include "tests/support/LoopbackDevice.h"
#include "wire/FrameCodec.h"

#include <arpa/inet.h>

#include <optional>
#include <stdexcept>
#include <string>

// A second Modbus client beside the monitor, on a port of its own: it changes the device's
// registers behind the monitor's back and reads back what the monitor wrote.
class SecondClient {
  public:
    explicit SecondClient(const std::string& deviceAddress) : socket(deviceAddress, 0) {
        ::inet_pton(AF_INET, deviceAddress.c_str(), &device.address);
    }

    // The device's holding register at address, or nullopt when no answer comes.
    std::optional<std::uint16_t> read(std::uint16_t address) {
        FrameCodec::FrameBuffer frame{};
        const auto size = FrameCodec::buildF3(frame, 77, address, 1);
        const auto answer = exchange(std::span(frame).first(*size), 11);
        if (!answer) return std::nullopt;
        return FrameCodec::getWord(answer->data() + 9);
    }

    // Writes one register with function 6; true once the device has echoed it.
    bool write(std::uint16_t address, std::uint16_t value) {
        FrameCodec::FrameBuffer frame{};
        const std::size_t size = FrameCodec::buildF6(frame, 78, address, value);
        return exchange(std::span(frame).first(size), 12).has_value();
    }

  private:
    std::optional<std::vector<std::uint8_t>> exchange(std::span<const std::uint8_t> request,
                                                      std::size_t answerSize) {
        socket.sendTo(device, request);
        auto answer = socket.receive();
        if (!answer || answer->size() != answerSize || (*answer)[7] != request[7])
            return std::nullopt;
        return answer;
    }

    LoopbackDevice socket;
    LoopbackDevice::Peer device{0, 502};
};
