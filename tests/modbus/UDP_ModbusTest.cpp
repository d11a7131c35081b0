#include "tests/modbus/ClientTestSupport.h"
#include "tests/support/HexBytes.h"
#include "tests/support/LoopbackDevice.h"

#include "core/RuntimeErrors.h"
#include "modbus/SocketLayer.h"

#include <QTest>
#include <QTimer>

#ifndef _WIN32
#include <netdb.h>
#endif

using namespace std::chrono_literals;

namespace {

using ClientSend = ClientTest;
using ClientTimer = ClientTest;
using ClientAnswers = ClientTest;
using ClientFailures = ClientTest;

const auto f6Echo = bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12 34");

TEST_F(ClientSend, F3LogsItsFrameAndSendsIt) {
    LoopbackDevice device("127.0.0.14");
    TUDP_ModBus client("127.0.0.14");
    ASSERT_TRUE(client.Ready());
    EXPECT_EQ(client.Send_F3(24, 24, 100), 0);
    EXPECT_EQ(messages(), QStringList{"Send F3:   00  18  00  00  00  06  01  03  00  18  00  64"});
    EXPECT_EQ(device.receive(), bytesFromHex("00 18 00 00 00 06 01 03 00 18 00 64"));

    EXPECT_EQ(client.Send_F3(1, 2, 500), 0);
    EXPECT_EQ(device.receive(), bytesFromHex("00 01 00 00 00 06 01 03 00 02 01 F4"));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(ClientSend, MoreThan500RegistersLeaveNoTrace) {
    LoopbackDevice device("127.0.0.15");
    TUDP_ModBus client("127.0.0.15");
    EXPECT_EQ(client.Send_F3(1, 2, 501), 1);
    EXPECT_EQ(client.Send_F16(1, 2, 501, TModbusRegArray{}), 1);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(client.Timer().isActive());
    EXPECT_FALSE(device.receive(100ms));
}

TEST_F(ClientSend, F6AndF16LogOnlyTheirNames) {
    LoopbackDevice device("127.0.0.16");
    TUDP_ModBus client("127.0.0.16");
    client.Send_F6(27, 200, 0x1234);
    EXPECT_EQ(device.receive(), f6Echo);
    TModbusRegArray values{};
    values[0] = 0x0001;
    values[1] = 0x0002;
    EXPECT_EQ(client.Send_F16(55, 1000, 2, values), 0);
    EXPECT_EQ(device.receive(), bytesFromHex("00 37 00 00 00 0B 01 10 03 E8 00 02 04 00 01 00 02"));
    EXPECT_EQ(messages(), (QStringList{"Send F6", "Send F16"}));
}

TEST_F(ClientTimer, PreciseTwentyMsOffUntilTheFirstSendThenPollsOnItsOwn) {
    LoopbackDevice device("127.0.0.17");
    TUDP_ModBus client("127.0.0.17");
    registerRecorders(client);
    EXPECT_FALSE(client.Timer().isActive());
    EXPECT_EQ(client.Timer().interval(), 20);
    EXPECT_EQ(client.Timer().timerType(), Qt::PreciseTimer);

    client.Send_F6(27, 200, 0x1234);
    EXPECT_TRUE(client.Timer().isActive());
    ASSERT_TRUE(device.receive());
    device.reply(bytesFromHex("00 1B 00 00 00 06 01 06 00"));
    device.reply(f6Echo);
    EXPECT_TRUE(QTest::qWaitFor([] { return recorded.writes.size() == 1; }, 5000));
    EXPECT_EQ(recorded.writes[0], (WriteCall{6, 27, 200, 0x1234}));
    EXPECT_TRUE(client.Timer().isActive());
}

// Which callback a well-formed answer reaches, with which fields, the datagram table holds. A
// slot emptied again drops its answers; only a read answer's loss is reported.
TEST_F(ClientAnswers, AnswersToEmptiedSlotsReachNoCallback) {
    const struct {
        const char* name;
        const char* datagram;
        QStringList errors;
    } rows[] = {
        {"Read",
         "00 18 00 00 00 07 01 03 04 12 34 AB CD",
         {"F3 antwort CallBack unInitialisiert !"}},
        {"WriteSingle", "00 1B 00 00 00 06 01 06 00 C8 12 34", {}},
        {"WriteMultiple", "00 37 00 00 00 06 01 10 03 E8 00 02", {}},
        {"Exception83", "00 18 00 00 00 03 01 83 02", {}},
        {"Exception86", "00 1B 00 00 00 03 01 86 02", {}},
        {"Exception90", "00 37 00 00 00 03 01 90 04", {}},
    };
    LoopbackDevice device("127.0.0.19");
    TUDP_ModBus client("127.0.0.19");
    registerRecorders(client);
    client.SetReadCallback(nullptr);
    client.SetErrorCallbacks(nullptr, nullptr, nullptr);
    client.SetWriteCallbacks(nullptr, nullptr);
    client.Send_F6(27, 200, 0x1234);
    ASSERT_TRUE(device.receive());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clearPanes();
        device.reply(bytesFromHex(row.datagram));
        ASSERT_TRUE(pollOnce(client));
        EXPECT_EQ(errors(), row.errors);
    }
    EXPECT_EQ(recorded.callbacks(), 0u);
}

// Neither the sender nor the protocol, unit or transaction identifier is looked at.
TEST_F(ClientAnswers, AnswersFromAnySenderAreHandledAlike) {
    LoopbackDevice device("127.0.0.21");
    // Wine binds every address of a port: two devices on port 502 cannot be had there.
    LoopbackDevice otherAddress("127.0.0.22", 5021);
    LoopbackDevice otherPort("127.0.0.21", 5020);
    TUDP_ModBus client("127.0.0.21");
    registerRecorders(client);
    client.Send_F3(1, 1, 1);
    ASSERT_TRUE(device.receive());
    otherAddress.sendTo(device.client(), bytesFromHex("AB CD 12 34 00 05 77 03 02 00 2A"));
    ASSERT_TRUE(pollOnce(client));
    otherPort.sendTo(device.client(), bytesFromHex("FF FF FF FF FF FF FF 06 00 01 00 02"));
    ASSERT_TRUE(pollOnce(client));
    EXPECT_EQ(recorded.reads, (std::vector<ReadCall>{{0xABCD, {42}}}));
    EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{6, 0xFFFF, 1, 2}}));
}

TEST_F(ClientAnswers, TwoWaitingAnswersTakeTwoPolls) {
    LoopbackDevice device("127.0.0.23");
    TUDP_ModBus client("127.0.0.23");
    registerRecorders(client);
    client.Send_F6(1, 2, 3);
    ASSERT_TRUE(device.receive());
    device.reply(bytesFromHex("00 01 00 00 00 06 01 06 00 02 00 03"));
    device.reply(bytesFromHex("00 02 00 00 00 06 01 06 00 02 00 04"));
    ASSERT_TRUE(pollOnce(client));
    EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{6, 1, 2, 3}}));
    ASSERT_TRUE(pollOnce(client));
    EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{6, 1, 2, 3}, {6, 2, 2, 4}}));
}

void raiseRangeError(std::uint16_t, std::uint16_t, const TModbusRegArray&) {
    throw RangeError();
}

TEST_F(ClientAnswers, AnErrorRaisedByACallbackIsLoggedAndPollingGoesOn) {
    LoopbackDevice device("127.0.0.24");
    TUDP_ModBus client("127.0.0.24");
    registerRecorders(client);
    client.SetReadCallback(raiseRangeError);
    client.Send_F3(1, 1, 1);
    ASSERT_TRUE(device.receive());
    device.reply(bytesFromHex("00 01 00 00 00 05 01 03 02 00 2A"));
    device.reply(f6Echo);
    EXPECT_TRUE(QTest::qWaitFor([] { return !recorded.writes.empty(); }, 5000));
    EXPECT_EQ(
        errors(),
        QStringList{"Receive Exception: CallBack unInitialisiert ? Fehler bei Bereichsprüfung"});
    EXPECT_TRUE(dialogs.shown.empty());
}

void raiseNonStandard(std::uint16_t, std::uint16_t, std::uint16_t) {
    throw 42;
}

// The tick itself runs under the event loop's guard: nothing crosses Qt's event dispatch.
TEST_F(ClientAnswers, PollTickRunsUnderTheEventGuard) {
    LoopbackDevice device("127.0.0.26");
    TUDP_ModBus client("127.0.0.26");
    registerRecorders(client);
    client.SetWriteCallbacks(raiseNonStandard, nullptr);
    client.Send_F6(27, 200, 0x1234);
    ASSERT_TRUE(device.receive());
    device.reply(f6Echo);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialogs.shown.empty(); }, 5000));
    EXPECT_EQ(dialogs.shown[0].kind, DialogRecorder::Kind::Error);
    EXPECT_TRUE(client.Timer().isActive());
    device.reply(bytesFromHex("00 18 00 00 00 03 01 83 02"));
    EXPECT_TRUE(QTest::qWaitFor([] { return !recorded.errors.empty(); }, 5000));
}

// Linux's codes and texts: Wine reports no refused UDP port (the socket layer's Windows tests
// check WSAECONNRESET), and Windows words its errors in the system's language.
#ifndef _WIN32
TEST_F(ClientFailures, RefusedPortShowsTheReceiveFailureLine) {
    TUDP_ModBus client("127.0.0.25");
    client.Send_F3(1, 1, 1);
    ASSERT_TRUE(pollOnce(client));
    EXPECT_EQ(errors(), QStringList{"..recvFrom: 111=Connection refused"});
    client.PollReceive();
    EXPECT_EQ(errors().size(), 1);
}

TEST_F(ClientFailures, UnresolvableTargetLogsBoxesAndLeavesNoSocket) {
    SocketLayer::setResolver([](std::string_view) -> std::optional<std::uint32_t> {
        SocketLayer::setLastError(SocketLayer::ResolverErrorBase - EAI_NONAME);
        return std::nullopt;
    });
    const int before = openDescriptors();
    TUDP_ModBus client("no.such.device");
    EXPECT_FALSE(client.Ready());
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(messages(), QStringList{"GetHostByName..: 11002=Name or service not known"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, DialogRecorder::Kind::Message);
    EXPECT_EQ(dialogs.shown[0].text, "Adresse von  \"no.such.device\"  nicht gefunden.");

    // Sending on the instance without a socket fails, is logged and still starts polling.
    clearPanes();
    EXPECT_EQ(client.Send_F3(24, 24, 100), 0);
    EXPECT_EQ(messages().value(1), "Error: Send_F3..: 88=Socket operation on non-socket");
    EXPECT_TRUE(client.Timer().isActive());
    client.PollReceive();
    EXPECT_EQ(messages().size(), 2);
    EXPECT_TRUE(errors().isEmpty());
}
#endif

TEST_F(ClientFailures, AnOversizedDatagramHandedInFailsLikeTheSocketsReceive) {
    TUDP_ModBus client("127.0.0.28");
    registerRecorders(client);
    client.handleDatagram(std::vector<std::uint8_t>(2001, 0x06));
    EXPECT_EQ(errors(), QStringList{messageTooLongLine()});
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(recorded.callbacks(), 0u);
}

TEST_F(ClientFailures, AFreedInstanceClosesItsSocket) {
    const int before = openDescriptors();
    if (before == 0) GTEST_SKIP() << "Wine counts no handles of a process";
    auto client = std::make_unique<TUDP_ModBus>("127.0.0.28");
    EXPECT_EQ(openDescriptors(), before + 1);
    client.reset();
    EXPECT_EQ(openDescriptors(), before);
}

} // namespace
