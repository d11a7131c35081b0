#include "tools/device/DeviceSocket.h"
#include "tools/device/StopSignals.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#endif

namespace {

#ifdef _WIN32
constexpr int AddressInUse = WSAEADDRINUSE;
#else
constexpr int AddressInUse = EADDRINUSE;
#endif

using namespace std::chrono_literals;

struct Quad {
    const char* text;
    std::optional<Ipv4Address> address;
};

// The rows inet_pton decides; the device takes exactly what it takes.
TEST(DottedQuad, ParsedAsInetPtonParsesIt) {
    const Quad quads[] = {
        {"127.0.0.1", Ipv4Address{127, 0, 0, 1}},
        {"0.0.0.0", Ipv4Address{0, 0, 0, 0}},
        {"255.255.255.255", Ipv4Address{255, 255, 255, 255}},
        {"127.20.30.40", Ipv4Address{127, 20, 30, 40}},
        {"", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"1.2.3.4.", std::nullopt},
        {".1.2.3.4", std::nullopt},
        {"1..2.3", std::nullopt},
        {"01.2.3.4", std::nullopt},
        {"1.2.3.00", std::nullopt},
        {"256.1.1.1", std::nullopt},
        {"4294967297.1.1.1", std::nullopt},
        {"+1.2.3.4", std::nullopt},
        {"1.2.3.-4", std::nullopt},
        {" 1.2.3.4", std::nullopt},
        {"1.2.3.4 ", std::nullopt},
        {"1.2.3.0x4", std::nullopt},
        {"localhost", std::nullopt},
    };
    for (const Quad& quad : quads)
        EXPECT_EQ(parseDottedQuad(quad.text), quad.address) << '"' << quad.text << '"';
}

TEST(DottedQuad, EndpointTextReadsBackAsTheAddress) {
    EXPECT_EQ(endpointText({{127, 0, 0, 1}, 40512}), "127.0.0.1:40512");
    EXPECT_EQ(endpointText({{255, 255, 255, 255}, 65535}), "255.255.255.255:65535");
    EXPECT_EQ(endpointText({{0, 0, 0, 0}, 0}), "0.0.0.0:0");
}

// Ports the system hands out: a fixed one may be taken by any program on the machine, and
// under Wine a socket takes its port on every address.
const Endpoint anyPort{{127, 0, 0, 241}, 0};

std::vector<std::uint8_t> datagram(std::size_t size, std::uint8_t first) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

// Each waiting datagram wakes the wait once, also when several arrived together, and the
// wait times out once all are taken. Answers to the sender are the device program's tests'.
TEST(DeviceSocketTest, EveryDatagramWakesTheWaitOnceAndNamesItsSender) {
    const StopSignals stop;
    DeviceSocket server(anyPort);
    DeviceSocket requester({{127, 0, 0, 242}, 0});
    const Endpoint device = server.own();
    ASSERT_NE(device.port, 0);
    EXPECT_EQ(device.address, anyPort.address);
    EXPECT_EQ(waitForStopOrRequest(stop, server, 50ms), Wakeup::Timeout);
    EXPECT_FALSE(server.receive());

    const std::vector<std::vector<std::uint8_t>> sent = {datagram(1, 1), datagram(12, 2),
                                                         datagram(2000, 3)};
    for (const auto& bytes : sent)
        ASSERT_EQ(requester.send(bytes, device), 0);
    for (const auto& bytes : sent) {
        ASSERT_EQ(waitForStopOrRequest(stop, server, 2s), Wakeup::Request);
        const auto request = server.receive();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->bytes, bytes);
        // The port only: under Wine a socket sends from 127.0.0.1, whatever it is bound to.
        EXPECT_EQ(request->sender.port, requester.own().port);
    }
    EXPECT_FALSE(server.receive());
    EXPECT_EQ(waitForStopOrRequest(stop, server, 50ms), Wakeup::Timeout);
}

TEST(DeviceSocketTest, TakenEndpointIsReportedWithTheSystemsReason) {
    const DeviceSocket first(anyPort);
    const Endpoint taken = first.own();
    try {
        const DeviceSocket second(taken);
        ADD_FAILURE() << "bound twice";
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(failure.what(), bindFailureText(taken, AddressInUse));
    }
}

} // namespace
