#pragma once

#include "tests/support/DialogRecorder.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/MonitorWindow.h"

#include <string>

// The monitor as started, aimed at a loopback device of the test's own that hears every
// request and answers as the simulator does; a box the monitor opens is recorded and
// answered.
struct MonitorWithDevice {
    explicit MonitorWithDevice(const std::string& address)
        : device(address), window(QString::fromStdString(address)) {}

    DialogRecorder dialogs;
    LoopbackDevice device;
    MonitorWindow window;
};
