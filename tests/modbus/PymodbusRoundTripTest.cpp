#include "tests/modbus/ClientTestSupport.h"
#include "tests/support/PymodbusDevice.h"

#include <QTest>

namespace {

using PymodbusRoundTrip = ClientTest;

// The client's own timer polls; the device answers within a few ticks.
bool waitForCallbacks(std::size_t count) {
    return QTest::qWaitFor([count] { return recorded.callbacks() >= count; }, 10000);
}

std::vector<std::uint16_t> initialValues(std::uint16_t start, std::uint16_t count) {
    std::vector<std::uint16_t> values;
    for (std::uint16_t i = 0; i < count; ++i)
        values.push_back(PymodbusDevice::initialValue(static_cast<std::uint16_t>(start + i)));
    return values;
}

TEST_F(PymodbusRoundTrip, F3ReadsHundredRegisters) {
    PymodbusDevice device("127.0.0.30");
    TUDP_ModBus client(QString::fromStdString(device.address()));
    registerRecorders(client);
    EXPECT_EQ(client.Send_F3(24, 24, 100), 0);
    ASSERT_TRUE(waitForCallbacks(1));
    EXPECT_EQ(recorded.reads, (std::vector<ReadCall>{{24, initialValues(24, 100)}}));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(PymodbusRoundTrip, F6WritesOneRegisterAndEchoes) {
    PymodbusDevice device("127.0.0.31");
    TUDP_ModBus client(QString::fromStdString(device.address()));
    registerRecorders(client);
    client.Send_F6(27, 200, 0xBEEF);
    ASSERT_TRUE(waitForCallbacks(1));
    EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{6, 27, 200, 0xBEEF}}));
    client.Send_F3(200, 199, 3);
    ASSERT_TRUE(waitForCallbacks(2));
    EXPECT_EQ(recorded.reads, (std::vector<ReadCall>{{200,
                                                      {PymodbusDevice::initialValue(199), 0xBEEF,
                                                       PymodbusDevice::initialValue(201)}}}));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(PymodbusRoundTrip, F16WritesRegistersAndEchoesStartAndQuantity) {
    PymodbusDevice device("127.0.0.32");
    TUDP_ModBus client(QString::fromStdString(device.address()));
    registerRecorders(client);
    TModbusRegArray values{};
    const std::vector<std::uint16_t> written{0x0001, 0xFFFF, 0x8000, 0x00FF, 0xA55A};
    std::copy(written.begin(), written.end(), values.begin());
    EXPECT_EQ(client.Send_F16(55, 1000, 5, values), 0);
    ASSERT_TRUE(waitForCallbacks(1));
    EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{16, 55, 1000, 5}}));
    client.Send_F3(1000, 1000, 5);
    ASSERT_TRUE(waitForCallbacks(2));
    EXPECT_EQ(recorded.reads, (std::vector<ReadCall>{{1000, written}}));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(PymodbusRoundTrip, F3AboveProtocolLimitGetsException3) {
    PymodbusDevice device("127.0.0.33");
    TUDP_ModBus client(QString::fromStdString(device.address()));
    registerRecorders(client);
    EXPECT_EQ(client.Send_F3(7, 0, 126), 0);
    ASSERT_TRUE(waitForCallbacks(1));
    EXPECT_EQ(recorded.errors, (std::vector<ErrorCall>{{3, 7, 3}}));
    EXPECT_TRUE(recorded.reads.empty());
    EXPECT_TRUE(errors().isEmpty());
}

} // namespace
