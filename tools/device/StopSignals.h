#pragma once

#include <chrono>
#include <memory>
#include <optional>

class DeviceSocket;

// The requests to stop the device, watched from construction on and waited for beside the
// socket. Linux: SIGINT and SIGTERM, blocked and read as a descriptor, so a stop signal waits
// as readable data instead of needing the wait to be interrupted, which a socket that is
// always readable would never allow. Windows: Ctrl+C, Ctrl+Break and closing the console set
// an event. One instance per process.
class StopSignals {
  public:
    // The platform's handles, defined by its platform file.
    struct Native;

    // Throws std::runtime_error when the requests cannot be watched.
    StopSignals();
    // Linux leaves both signals blocked: unblocked, a signal still pending would end the
    // program at once, not cleanly.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    const Native& native() const { return *handles; }

  private:
    std::unique_ptr<Native> handles;
};

enum class Wakeup { Stop, Request, Timeout };

// Waits until a stop is requested, a datagram waits on socket or timeout has passed (no
// timeout: waits without end). A stop wins over a waiting datagram, so no flood of datagrams
// can put it off. Throws std::runtime_error when the wait itself fails.
Wakeup waitForStopOrRequest(const StopSignals& stop, const DeviceSocket& socket,
                            std::optional<std::chrono::nanoseconds> timeout);
