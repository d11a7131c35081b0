#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

// A loopback address of the running test's own: base plus the test's place in its program,
// so that the tests of one program can run in parallel, each with its device on port 502.
inline std::string testAddress(int base) {
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    int index = 0;
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t, ++index)
            if (suite.GetTestInfo(t) == unit.current_test_info())
                return "127.0.0." + std::to_string(base + index);
    }
    throw std::logic_error("testAddress: no test is running");
}
