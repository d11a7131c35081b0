#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// What the platform file (DevicePosix.cpp, DeviceWin32.cpp) and the portable files of the
// device supply to each other, beyond the classes of DeviceSocket.h and StopSignals.h.

// From the platform file: the lines bindFailureText() adds after the system's text, empty
// when the error needs no hint.
std::string bindFailureHint(int error, std::uint16_t port);
// From the platform file: the help text's last paragraph, how to stop the device and what
// else the platform makes worth knowing.
std::string platformHelp();

// From DeviceSocket.cpp: the failures of the platform's calls, worded once for both.
std::runtime_error stopWatchFailure(int error);
std::runtime_error waitFailure(int error);
