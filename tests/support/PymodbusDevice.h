#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>

// A real Modbus/UDP device for integration tests: Debian's pymodbus (run by the python3 that
// CMake found with it) serving holding registers 0..65535 with MBAP framing on <address>:502. It
// answers function 3 (more than 125 registers: exception 0x83, code 3), 6 and 16 to any unit
// identifier.
//
//   PymodbusDevice device("127.0.0.30");            // returns once it listens
//   TUDP_ModBus client("127.0.0.30");
//   ... PymodbusDevice::initialValue(24) is what register 24 holds until written
//
// Every test gives the device an address of its own (127.0.0.N).
class PymodbusDevice {
  public:
    // Starts tests/support/pymodbus_device.py; throws std::runtime_error when the device does
    // not report that it listens within startTimeout.
    explicit PymodbusDevice(std::string address,
                            std::chrono::milliseconds startTimeout = std::chrono::seconds(30));
    // Stops the device and waits for its process to end.
    ~PymodbusDevice();
    PymodbusDevice(const PymodbusDevice&) = delete;
    PymodbusDevice& operator=(const PymodbusDevice&) = delete;

    // The value of holding register `address` until a test writes it.
    static constexpr std::uint16_t initialValue(std::uint16_t address) {
        return static_cast<std::uint16_t>(0x1234 + 7 * address);
    }
    const std::string& address() const { return listenAddress; }

  private:
    void waitUntilReady(std::chrono::milliseconds timeout);
    void stop();

    std::string listenAddress;
    pid_t pid = -1;
    int toDevice = -1;   // the device's stdin: closing it ends the device
    int fromDevice = -1; // the device's stdout: "READY" once it listens
};
