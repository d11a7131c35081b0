#include "tests/support/HexBytes.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/TestAddress.h"
#include "tests/tools/DeviceProcess.h"
#include "tests/tools/ForgedDatagram.h"
#include "tests/tools/RequestClient.h"
#include "wire/FrameCodec.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Registers 300 and 301.
const auto readTwo = bytesFromHex("00 01 00 00 00 06 01 03 01 2C 00 02");

std::string answerHex(RequestClient& client, std::span<const std::uint8_t> request) {
    const auto answer = client.ask(request);
    return answer ? bytesToHex(*answer) : "no answer";
}

std::string listening(const std::string& address, const char* pattern) {
    return "UdpRavikDevice listening on " + address + ":502, values " + pattern + "\n";
}

class StopSignal : public testing::TestWithParam<int> {};

TEST_P(StopSignal, AnswersUntilTheSignalThenEndsCleanly) {
    const std::string address = testAddress(210);
    DeviceProcess device({"--address", address});
    ASSERT_TRUE(device.waitForOutput("listening")) << device.output();
    RequestClient client(address);
    EXPECT_EQ(answerHex(client, readTwo), "00 01 00 00 00 07 01 03 04 01 2C 01 2D");
    EXPECT_EQ(client.answeredFrom(), 502);
    EXPECT_EQ(device.stop(GetParam()), 0);
    EXPECT_EQ(device.output(), listening(address, "count") + "UdpRavikDevice stopped\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "Int" : "Term"; });

// Requests from one ephemeral port, sent as fast as one thread can until the flood is destroyed.
class Flood {
  public:
    explicit Flood(const std::string& address) : client(address) {}

  private:
    RequestClient client;
    std::jthread sender{[this](std::stop_token stop) {
        while (!stop.stop_requested())
            client.send(readTwo);
    }};
};

// A write request as if from the device itself: answered, its echo is the next such request.
const auto writeFromItself = bytesFromHex("00 01 00 00 00 06 01 06 00 07 12 34");

// Under the two loads that keep its socket busy: the loop on itself that writeFromItself sets
// off in a device that answers it, and clients sending as fast as they can.
TEST(DeviceProgram, EndsWithinASecondOfAStopSignalUnderLoad) {
    const std::string address = "127.0.0.245";
    for (const bool fromClients : {false, true}) {
        for (const int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE(std::string(fromClients ? "clients, " : "itself, ") + strsignal(signal));
            DeviceProcess device({"--address", address});
            ASSERT_TRUE(device.waitForOutput("listening")) << device.output();
            std::optional<Flood> flood;
            if (fromClients)
                flood.emplace(address);
            else
                sendForgedDatagram(address, address, writeFromItself);
            std::this_thread::sleep_for(200ms);
            EXPECT_EQ(device.stop(signal, 1s), 0);
            EXPECT_EQ(device.output(), listening(address, "count") + "UdpRavikDevice stopped\n");
        }
    }
}

TEST(DeviceProgram, ZerosStartAtZero) {
    const std::string address = testAddress(210);
    DeviceProcess device({"--address", address, "--values", "zeros"});
    ASSERT_TRUE(device.waitForOutput(listening(address, "zeros"))) << device.output();
    RequestClient client(address);
    EXPECT_EQ(answerHex(client, readTwo), "00 01 00 00 00 07 01 03 04 00 00 00 00");
}

TEST(DeviceProgram, MovingValuesCountUpEverySecond) {
    const std::string address = testAddress(210);
    DeviceProcess device({"--address", address, "--values=moving"});
    ASSERT_TRUE(device.waitForOutput("listening")) << device.output();
    RequestClient client(address);
    const auto register300 = [&client] {
        const auto answer = client.ask(readTwo);
        return answer && answer->size() == 13 ? FrameCodec::getWord(answer->data() + 9) : -1;
    };
    const int before = register300();
    std::this_thread::sleep_for(1500ms);
    const int after = register300();
    EXPECT_GE(before, 300);
    EXPECT_GE(after - before, 1);
    EXPECT_LE(after - before, 3);
}

TEST(DeviceProgram, VerboseLogsOneLinePerRequest) {
    const std::string address = testAddress(210);
    DeviceProcess device({"--verbose", "--address", address});
    ASSERT_TRUE(device.waitForOutput("listening")) << device.output();
    RequestClient client(address);
    client.ask(readTwo);
    client.ask(bytesFromHex("00 02 00 00 00 06 01 03 00 00 00 00"));
    client.send(bytesFromHex("01 02 03 04 05"));
    ASSERT_TRUE(device.waitForOutput("ignored\n")) << device.output();
    EXPECT_EQ(device.stop(SIGINT), 0);
    const std::string& log = device.output();
    EXPECT_NE(log.find(" tr 1 unit 1 F3 start 300 count 2 -> ok\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" tr 2 unit 1 F3 start 0 count 0 -> exception 3\n"), std::string::npos);
    EXPECT_NE(log.find(" 5 bytes -> ignored\n"), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5);
}

TEST(DeviceProgram, BusyAddressIsReportedWithExitCode1) {
    const std::string address = testAddress(210);
    LoopbackDevice occupant(address);
    DeviceProcess device({"--address", address});
    EXPECT_EQ(device.waitForExit(), 1);
    EXPECT_EQ(device.output(),
              "UdpRavikDevice: cannot listen on " + address + ":502: Address already in use\n");
}

TEST(DeviceProgram, HelpAndBadOptionsEndAtOnce) {
    DeviceProcess help({"--help"});
    EXPECT_EQ(help.waitForExit(), 0);
    EXPECT_EQ(help.output().rfind("Usage: UdpRavikDevice [options]\n", 0), 0u);
    DeviceProcess bad({"--port", "x"});
    EXPECT_EQ(bad.waitForExit(), 2);
    EXPECT_EQ(bad.output(),
              "UdpRavikDevice: not a port (1..65535): x\nTry UdpRavikDevice --help.\n");
}

} // namespace
