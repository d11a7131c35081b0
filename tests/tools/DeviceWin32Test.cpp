#include "tools/device/DeviceSocket.h"
#include "tools/device/Options.h"

#include <gtest/gtest.h>

#include <winsock2.h>

namespace {

// Wine has texts of its own for some codes and none for others, so only their form is fixed.
TEST(DeviceWin32, ErrorTextsAreTheSystemsWithoutTheirFullStopOrLineBreak) {
    for (const int code : {WSAEADDRINUSE, WSAEACCES, WSAEWOULDBLOCK, WSAEINVAL}) {
        const std::string text = errorText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_NE(text.back(), '.') << text;
        EXPECT_GT(static_cast<unsigned char>(text.back()), ' ') << code;
    }
    EXPECT_EQ(errorText(0x2000FFFF), "error 536936447");
}

TEST(DeviceWin32, BindFailureHintsAtAPortInUseOrReserved) {
    const Endpoint monitorPort{{127, 0, 0, 1}, 502};
    for (const int code : {WSAEADDRINUSE, WSAEACCES}) {
        const std::string text = bindFailureText(monitorPort, code);
        const std::string reason = "cannot listen on 127.0.0.1:502: " + errorText(code);
        EXPECT_EQ(text.rfind(reason + "\nAnother program holds the port", 0), 0u) << text;
        EXPECT_NE(text.find("netsh interface ipv4 show\nexcludedportrange protocol=udp"),
                  std::string::npos);
    }
    EXPECT_EQ(bindFailureText(monitorPort, WSAEADDRNOTAVAIL),
              "cannot listen on 127.0.0.1:502: " + errorText(WSAEADDRNOTAVAIL));
}

TEST(DeviceWin32, HelpTellsHowToStopAndNothingOfLinux) {
    EXPECT_NE(helpText().find("Ctrl+C, Ctrl+Break or closing its console window"),
              std::string::npos);
    EXPECT_EQ(helpText().find("sysctl"), std::string::npos);
}

} // namespace
