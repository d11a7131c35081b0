#include "tests/support/HexBytes.h"
#include "tests/support/PymodbusDevice.h"
#include "tests/tools/DeviceProcess.h"
#include "tests/tools/ForgedDatagram.h"
#include "tests/tools/RequestClient.h"
#include "wire/FrameCodec.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

struct Row {
    const char* name;
    Bytes request;
};

Bytes f3(std::uint16_t trId, std::uint16_t start, std::uint16_t count) {
    FrameCodec::FrameBuffer frame{};
    return Bytes(frame.begin(), frame.begin() + *FrameCodec::buildF3(frame, trId, start, count));
}

Bytes f6(std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    FrameCodec::FrameBuffer frame{};
    return Bytes(frame.begin(), frame.begin() + FrameCodec::buildF6(frame, trId, address, value));
}

Bytes f16(std::uint16_t trId, std::uint16_t start, std::uint16_t count) {
    FrameCodec::FrameBuffer frame{};
    FrameCodec::RegisterArray values{};
    for (std::uint16_t i = 0; i < count; ++i)
        values[i] = static_cast<std::uint16_t>(0xA500 + i);
    const auto size = *FrameCodec::buildF16(frame, trId, start, count, values);
    return Bytes(frame.begin(), frame.begin() + size);
}

// In order: the devices start with different values, so registers are read only after both
// were written the same way. The rules of each answer are the request handler's own table; here
// one request of each kind shows the peer agrees: writes and reads at the quantity limits and
// the address ends, each exception code, and an ignored request with an answered one after it,
// so a device that loses its footing on it shows it.
// No function code with the exception bit: pymodbus refuses those, the device ignores them,
// as two devices that refused each other's refusals would never stop.
std::vector<Row> rows() {
    return {
        {"F16 writes 123 registers at 0", f16(1, 0, 123)},
        {"F6 writes register 123", f6(2, 123, 0x0102)},
        {"F6 writes register 124", f6(3, 124, 0xFFFF)},
        {"F3 reads 125 registers", f3(4, 0, 125)},
        {"F16 writes the last 5 registers", f16(5, 65531, 5)},
        {"F6 writes the last register", f6(6, 65535, 0xABCD)},
        {"F3 reads the last 5 registers", f3(7, 65531, 5)},
        {"F3 125 registers past the end", f3(8, 65412, 125)},
        {"F3 126 registers past the end", f3(9, 65535, 126)},
        {"F16 quantity 124 with byte count 0", f16(10, 0, 124)},
        {"unknown function with data", bytesFromHex("00 0B 00 00 00 06 01 41 00 00 00 01")},
        {"F3 with a trailing byte", bytesFromHex("00 0C 00 00 00 07 01 03 00 00 00 01 00")},
        {"F3 after the ignored one", f3(13, 122, 3)},
    };
}

std::string answerHex(RequestClient& client, std::chrono::milliseconds timeout) {
    const auto answer = client.answer(timeout);
    return answer ? bytesToHex(*answer) : "no answer";
}

TEST(DeviceVsPymodbus, SameRequestsGetTheSameAnswers) {
    PymodbusDevice reference("127.0.0.200");
    DeviceProcess device({"--address", "127.0.0.201", "--values", "zeros"});
    ASSERT_TRUE(device.waitForOutput("listening")) << device.output();
    RequestClient toReference(reference.address());
    RequestClient toDevice("127.0.0.201");
    int unanswered = 0;
    for (const Row& row : rows()) {
        toReference.send(row.request);
        toDevice.send(row.request);
        // The device has had the reference's time too when it comes to its turn.
        const std::string expected = answerHex(toReference, 1s);
        EXPECT_EQ(answerHex(toDevice, 200ms), expected) << row.name;
        unanswered += expected == "no answer";
    }
    EXPECT_EQ(unanswered, 1) << "only the malformed request goes unanswered";
}

// Answers reaching the device from port 502, from the pymodbus device or as if from the device
// itself. pymodbus refuses an exception answer and echoes a write, so answered, either would
// go back and forth for ever: each must leave its one log line and nothing else.
TEST(DeviceVsPymodbus, DatagramsFromDevicePortsAreNeverAnswered) {
    PymodbusDevice other("127.0.0.246");
    const std::string own = "127.0.0.247";
    DeviceProcess device({"--verbose", "--address", own});
    ASSERT_TRUE(device.waitForOutput("listening")) << device.output();
    const struct {
        std::string source;
        const char* datagram;
        const char* size;
    } rows[] = {
        {other.address(), "00 01 00 00 00 03 01 83 02", "9 bytes"},
        {other.address(), "00 02 00 00 00 06 01 06 00 07 12 34", "12 bytes"},
        {own, "00 03 00 00 00 03 01 83 02", "9 bytes"},
        {own, "00 04 00 00 00 06 01 06 00 07 12 34", "12 bytes"},
    };
    const auto heard = [](const auto& row) { return row.source + ":502 [" + row.datagram + "]"; };
    for (const auto& row : rows) {
        sendForgedDatagram(row.source, own, bytesFromHex(row.datagram));
        ASSERT_TRUE(device.waitForOutput(heard(row))) << row.datagram;
    }
    // Time for a loop to show, had one begun.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(device.stop(SIGTERM, 1s), 0);
    std::istringstream log(device.output());
    std::size_t fromDevicePorts = 0;
    for (std::string line; std::getline(log, line);)
        fromDevicePorts += line.find(":502 [") != std::string::npos;
    EXPECT_EQ(fromDevicePorts, std::size(rows));
    for (const auto& row : rows)
        EXPECT_NE(
            device.output().find(heard(row) + " " + row.size + " from a device port -> ignored\n"),
            std::string::npos)
            << row.datagram;
}

} // namespace
