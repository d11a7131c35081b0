#pragma once

#include "tools/device/DeviceSocket.h"
#include "tools/device/RegisterBank.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A stand-in Modbus device for tests: a UDP socket bound to <address>:<port> (port 502 unless
// told otherwise; port 0 takes one the system hands out). It answers requests as the simulator does (answer, serve), from registers
// the test may set; or the test hears a request and sends any bytes back, well formed or not
// (receive, reply). Every test binds an address of its own (127.0.0.N), so tests run in
// parallel.
//
//   LoopbackDevice device("127.0.0.14");
//   client.Send_F3(24, 24, 100);
//   device.answer();                         // registers 24..123 back to the client
//   client.Send_F6(27, 3, 0xFF);
//   auto request = device.receive();        // the 12 request bytes
//   device.reply(bytesFromHex("00 1B ...")); // back to the client's address and port
class LoopbackDevice {
  public:
    // An IPv4 address in network byte order and a port in host order.
    struct Peer {
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };

    // Binds the socket; throws std::runtime_error when that fails (address taken, not local).
    explicit LoopbackDevice(const std::string& address, std::uint16_t port = 502);

    // The next datagram that reaches the device, or nullopt when none comes within timeout.
    // Its sender becomes the client that reply() answers.
    std::optional<std::vector<std::uint8_t>>
    receive(std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Sends bytes to the sender of the last datagram received; throws when that fails.
    void reply(std::span<const std::uint8_t> bytes);
    // Sends bytes to any peer from this device's address and port; throws when that fails.
    void sendTo(const Peer& peer, std::span<const std::uint8_t> bytes);
    // The sender of the last datagram received.
    Peer client() const { return lastSender; }
    // The port the device listens on.
    std::uint16_t port() const { return socket.own().port; }

    // What the device answers from; register a holds a at the start.
    RegisterBank registers{ValuePattern::Count};
    // Hears the next datagram and sends the simulator's answer to it (none when it ignores
    // the datagram); returns the request, or nullopt when none comes within timeout.
    std::optional<std::vector<std::uint8_t>>
    answer(std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Answers every datagram waiting now; returns how many it has heard through serve so far.
    int serve();

  private:
    DeviceSocket socket;
    Peer lastSender;
    int served = 0;
};
