#include "modbus/ErrorText.h"
#include "modbus/SocketLayer.h"
#include "tests/modbus/SocketLayerTestSupport.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/Wine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include <windows.h>

using namespace SocketLayerTest;

namespace {

// Winsock is started once for the whole test program, as the client's module does per run.
class WinsockRun : public testing::Environment {
  public:
    void SetUp() override { ASSERT_TRUE(SocketLayer::startup()) << SocketLayer::lastError(); }
    void TearDown() override { SocketLayer::cleanup(); }
};
[[maybe_unused]] const testing::Environment* const winsock =
    testing::AddGlobalTestEnvironment(new WinsockRun);

// Wine binds a UDP socket to the wildcard address of its port, so a device on port 502 would
// collide with any other program's device on 127.0.0.N:502: the device takes a port the
// system hands out, and the sends that must find nobody go to a port no device here takes.
constexpr std::uint16_t UnheldPort = 15020;

SocketLayer::Endpoint deviceAt(const char* quad, std::uint16_t port = UnheldPort) {
    return {ipv4(quad), port};
}

TEST(SocketLayerWin32Datagrams, UpTo2000BytesArriveWholeLongerOnesFailWithMessageTooLong) {
    LoopbackDevice device("127.0.0.230", 0);
    LayerSocket client;
    ASSERT_NE(client.handle, 0) << SocketLayer::lastError();
    ASSERT_TRUE(
        SocketLayer::sendTo(client.handle, pattern(12), deviceAt("127.0.0.230", device.port())));
    ASSERT_EQ(device.receive(), pattern(12));
    device.reply(pattern(2000));
    device.reply(pattern(2001));
    device.reply(pattern(3));

    Buffer buffer{};
    ASSERT_EQ(receiveSoon(client.handle, buffer), 2000u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), pattern(2000).begin()));
    EXPECT_FALSE(receiveSoon(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), WSAEMSGSIZE);
    EXPECT_EQ(receiveSoon(client.handle, buffer), 3u);
    EXPECT_FALSE(SocketLayer::receiveFrom(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), WSAEWOULDBLOCK);
}

TEST(SocketLayerWin32RefusedPort, ReportedByTheNextReceive) {
    if (underWine()) GTEST_SKIP() << "Wine does not report refused UDP ports";
    LayerSocket client;
    ASSERT_TRUE(SocketLayer::sendTo(client.handle, pattern(12), deviceAt("127.0.0.231")));
    Buffer buffer{};
    EXPECT_FALSE(receiveSoon(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), WSAECONNRESET);
}

// An instance without a socket still sends and polls: each call must fail, not touch handle 0.
TEST(SocketLayerWin32Failures, HandleZeroIsNoSocket) {
    Buffer buffer{};
    EXPECT_FALSE(SocketLayer::receiveFrom(0, buffer));
    EXPECT_EQ(SocketLayer::lastError(), WSAENOTSOCK);
    SocketLayer::setLastError(0);
    EXPECT_FALSE(SocketLayer::sendTo(0, pattern(12), deviceAt("127.0.0.232")));
    EXPECT_EQ(SocketLayer::lastError(), WSAENOTSOCK);
    SocketLayer::setLastError(0);
    EXPECT_FALSE(SocketLayer::setNonBlocking(0));
    EXPECT_EQ(SocketLayer::lastError(), WSAENOTSOCK);
}

TEST(SocketLayerWin32Failures, ClosedSocketFailsWithWinsocksOwnCode) {
    const SocketLayer::Handle handle = SocketLayer::openUdpSocket();
    ASSERT_NE(handle, 0) << SocketLayer::lastError();
    SocketLayer::closeSocket(handle);
    EXPECT_FALSE(SocketLayer::sendTo(handle, pattern(12), deviceAt("127.0.0.232")));
    EXPECT_EQ(SocketLayer::lastError(), WSAENOTSOCK);
    SocketLayer::setLastError(0);
    SocketLayer::closeSocket(handle);
    EXPECT_EQ(SocketLayer::lastError(), WSAENOTSOCK);
}

// The system's texts differ by Windows language (and under Wine): check their shape.
void expectTrimmedToOneLine(const std::string& text) {
    const std::string_view trimmed = trimErrorText(text);
    ASSERT_FALSE(trimmed.empty()) << '"' << text << '"';
    EXPECT_TRUE(text.starts_with(trimmed));
    EXPECT_EQ(trimmed.find_first_of("\r\n"), std::string_view::npos) << trimmed;
    EXPECT_NE(trimmed.back(), '.');
}

TEST(SocketLayerWin32Failures, UnresolvableNameFailsWithHostNotFoundAndItsText) {
    using namespace std::string_view_literals;
    SocketLayer::setResolver({});
    EXPECT_FALSE(SocketLayer::resolve("127.0.0.230\0.invalid"sv));
    EXPECT_EQ(SocketLayer::lastError(), WSAHOST_NOT_FOUND);
    expectTrimmedToOneLine(SocketLayer::errorText(SocketLayer::lastError()));
}

struct ErrorTextRow {
    const char* name;
    int code;
    bool hasText;
};

void PrintTo(const ErrorTextRow& row, std::ostream* out) {
    *out << "code " << row.code;
}

class SocketLayerWin32ErrorText : public testing::TestWithParam<ErrorTextRow> {};

TEST_P(SocketLayerWin32ErrorText, SystemMessageOrNone) {
    const std::string text = SocketLayer::errorText(GetParam().code);
    if (!GetParam().hasText) {
        EXPECT_EQ(text, "");
        return;
    }
    EXPECT_TRUE(text.ends_with('\n')) << "as FormatMessage gives it: " << text;
    expectTrimmedToOneLine(text);
}

INSTANTIATE_TEST_SUITE_P(Codes, SocketLayerWin32ErrorText,
                         testing::Values(ErrorTextRow{"Success", 0, true},
                                         ErrorTextRow{"InvalidArgument", WSAEINVAL, true},
                                         ErrorTextRow{"ConnectionReset", WSAECONNRESET, true},
                                         ErrorTextRow{"HostNotFound", WSAHOST_NOT_FOUND, true},
                                         ErrorTextRow{"UnknownCodeHasNoText", 12345678, false},
                                         ErrorTextRow{"NegativeCodeHasNoText", -1, false}),
                         [](const auto& info) { return info.param.name; });

} // namespace
