#include "modbus/TimerResolution.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// At 1 ms a short sleep ends after about 1 ms; at Windows' default of 15.6 ms twenty of them
// would take over 300 ms.
TEST(TimerResolution, RaisedShortSleepsStayShort) {
    TimerResolution::begin();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i)
        std::this_thread::sleep_for(1ms);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    TimerResolution::end();
    EXPECT_LT(elapsed, 150ms);
}

} // namespace
