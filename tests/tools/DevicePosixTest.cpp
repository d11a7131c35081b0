#include "tools/device/DeviceSocket.h"
#include "tools/device/Options.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(DevicePosix, BindFailureHintsAtPrivilegesOnlyForLowPorts) {
    const std::string denied = bindFailureText({{127, 0, 0, 1}, 502}, EACCES);
    EXPECT_EQ(denied.rfind("cannot listen on 127.0.0.1:502: Permission denied\n", 0), 0u);
    EXPECT_NE(denied.find("root"), std::string::npos);
    EXPECT_NE(denied.find("net.ipv4.ip_unprivileged_port_start=502"), std::string::npos);
    EXPECT_EQ(bindFailureText({{127, 0, 0, 1}, 1502}, EACCES),
              "cannot listen on 127.0.0.1:1502: Permission denied");
    EXPECT_EQ(bindFailureText({{127, 0, 0, 1}, 502}, EADDRINUSE),
              "cannot listen on 127.0.0.1:502: Address already in use");
}

TEST(DevicePosix, HelpTellsHowToListenOnLowPorts) {
    EXPECT_NE(helpText().find("sysctl -w net.ipv4.ip_unprivileged_port_start=502"),
              std::string::npos);
}

} // namespace
