#include "tools/device/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

StopSignals::StopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    fd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0)
        throw std::runtime_error(std::string("cannot watch for stop signals: ") +
                                 std::strerror(errno));
}

StopSignals::~StopSignals() {
    ::close(fd);
}
