#pragma once

// SIGINT and SIGTERM as a descriptor to poll beside the socket. Both are blocked from the
// start, so a stop signal waits as readable data instead of needing the wait to be interrupted,
// which a socket that is always readable would never allow.
class StopSignals {
  public:
    // Throws std::runtime_error when the descriptor cannot be opened.
    StopSignals();
    // Leaves both blocked: unblocked, a signal still pending would end the program at once,
    // not cleanly.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Readable once SIGINT or SIGTERM has arrived.
    int descriptor() const { return fd; }

  private:
    int fd = -1;
};
