#pragma once

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// UdpRavikDevice run as a child process, its standard output and error read back:
//
//   DeviceProcess device({"--address", "127.0.0.210"});
//   ASSERT_TRUE(device.waitForOutput("listening"));
//   ...
//   EXPECT_EQ(device.stop(SIGINT), 0);
class DeviceProcess {
  public:
    explicit DeviceProcess(const std::vector<std::string>& arguments);
    // Kills the program if it still runs.
    ~DeviceProcess();
    DeviceProcess(const DeviceProcess&) = delete;
    DeviceProcess& operator=(const DeviceProcess&) = delete;

    // Reads output until it holds text; false when the program ends or the time runs out first.
    bool waitForOutput(std::string_view text,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits for the program to end: its exit code, 128 + the signal that killed it, or
    // nullopt when it still runs after timeout.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Sends signal, then waitForExit(timeout).
    std::optional<int> stop(int signal,
                            std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Standard output and error as read so far.
    const std::string& output() const { return said; }

  private:
    // Reads what is waiting, at most timeout; false at the end of the output.
    bool readSome(std::chrono::milliseconds timeout);

    pid_t pid = -1;
    int fromDevice = -1;
    std::string said;
};
