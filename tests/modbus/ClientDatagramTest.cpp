#include "tests/modbus/ClientTestSupport.h"
#include "tests/support/AnswerFrame.h"
#include "tests/support/HexBytes.h"
#include "tests/support/LoopbackDevice.h"

#include "wire/FrameCodec.h"

#include <optional>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A function 3 answer for transaction 24 with the given length field, size bytes long.
Bytes readAnswer(std::uint16_t length, std::size_t size) {
    return answerFrame(24, length, 3, size, 0x5A);
}

Bytes truncatedEcho(std::size_t size) {
    return Bytes(size, 0x06);
}

// What a datagram leaves besides its message lines: lines in the error pane, or the callbacks
// it reached with their fields.
struct Outcome {
    QStringList errors;
    Recorded calls;
};

Outcome reported(const QString& line) {
    return {{line}, {}};
}
Outcome reachesRead(std::uint16_t trId, std::vector<std::uint16_t> registers) {
    return {{}, {{{trId, std::move(registers)}}, {}, {}}};
}
Outcome reachesWrite(int function, std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    return {{}, {{}, {{function, trId, address, value}}, {}}};
}
Outcome reachesError(int function, std::uint16_t trId, std::uint8_t code) {
    return {{}, {{}, {}, {{function, trId, code}}}};
}

struct DatagramRow {
    std::string name;
    Bytes datagram;
    Outcome outcome;
    std::optional<int> registerCount = std::nullopt; // the "anzReg=" line of a function 3 answer
};

std::vector<DatagramRow> datagramRows() {
    std::vector<DatagramRow> rows;
    for (std::size_t size = 0; size <= 8; ++size)
        rows.push_back({"Size" + std::to_string(size), truncatedEcho(size), {}});
    const auto f3Length = [](std::int64_t rest) {
        return reported("F3 Antwort mit falscher länge,  rest=" + QString::number(rest));
    };
    const auto otherLength = [](std::int64_t rest) {
        return reported("AntwortDaten mit falscher Länge,  rest=" + QString::number(rest));
    };
    const Outcome tooMany = reported("F3 Antwort mit mehr als 500 Register..wird verworfen");
    const auto unknown = [](int code) {
        return reported("Unbekannte UDP/Modbus Antwort, FC=" + QString::number(code));
    };
    rows.insert(
        rows.end(),
        {
            {"Size9UnknownFunction0", Bytes(9, 0), unknown(0)},
            {"Size2000", readAnswer(203, 2000), f3Length(1791), 100},
            {"Size2001", readAnswer(203, 2001), reported(messageTooLongLine())},
            {"ReadInHostOrder", bytesFromHex("00 18 00 00 00 07 01 03 04 12 34 AB CD"),
             reachesRead(24, {0x1234, 0xABCD}), 2},
            {"ReadByteCountIgnored", bytesFromHex("00 01 00 00 00 07 01 03 FF 00 01 00 02"),
             reachesRead(1, {1, 2}), 2},
            {"Read500", readAnswer(1003, 1009),
             reachesRead(24, std::vector<std::uint16_t>(500, 0x5A5A)), 500},
            {"Length0", readAnswer(0, 9), f3Length(2), -1},
            {"Length1", readAnswer(1, 9), f3Length(2), -1},
            {"Length2", readAnswer(2, 9), reachesRead(24, {}), 0},
            {"Length3", readAnswer(3, 9), reachesRead(24, {}), 0},
            {"Length4", readAnswer(4, 9), reachesRead(24, {}), 0},
            {"Length5CountsOneRegister", readAnswer(5, 9), f3Length(-2), 1},
            {"Length6CountsOneRegister", readAnswer(6, 11), reachesRead(24, {0x5A5A}), 1},
            {"LengthFFFF", readAnswer(0xFFFF, 1000), tooMany, 32766},
            {"LengthOneShort", readAnswer(203, 208), f3Length(-1), 100},
            {"LengthOneLong", readAnswer(203, 210), f3Length(1), 100},
            {"LengthFarOff", readAnswer(203, 1500), f3Length(1291), 100},
            {"LengthFarOffShort", readAnswer(203, 12), f3Length(-197), 100},
            {"Registers501", readAnswer(1005, 1011), tooMany, 501},
            {"Registers501InNineBytes", readAnswer(1005, 9), tooMany, 501},
            {"Function4", bytesFromHex("00 01 00 00 00 03 01 04 02"), unknown(4)},
            {"Function84", bytesFromHex("00 01 00 00 00 03 01 84 02"), unknown(132)},
            {"FunctionFF", bytesFromHex("00 01 00 00 00 03 01 FF 02"), unknown(255)},
            {"WriteSingle", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12 34"),
             reachesWrite(6, 27, 200, 0x1234)},
            {"WriteSingleEleven", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12"),
             otherLength(-1)},
            {"WriteSingleTen", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8"), otherLength(-2)},
            {"WriteMultipleAnyHeader", bytesFromHex("00 37 7F 7F 00 00 09 10 03 E8 00 02"),
             reachesWrite(16, 55, 1000, 2)},
            {"WriteMultipleThirteen", bytesFromHex("00 37 00 00 00 06 01 10 03 E8 00 02 00"),
             otherLength(1)},
            {"Exception83", bytesFromHex("00 18 00 00 00 03 01 83 02"), reachesError(3, 24, 2)},
            {"Exception86", bytesFromHex("00 1B 00 00 00 03 01 86 02"), reachesError(6, 27, 2)},
            {"Exception90", bytesFromHex("00 37 00 00 00 03 01 90 04"), reachesError(16, 55, 4)},
            {"Exception83Ten", bytesFromHex("00 05 00 00 00 03 01 83 02 00"), otherLength(1)},
            {"Exception90Twenty",
             Bytes{0, 5, 0, 0, 0, 3, 1, 0x90, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, otherLength(11)},
        });
    return rows;
}

QStringList expectedMessages(const DatagramRow& row) {
    if (row.datagram.size() > FrameCodec::BufferSize) return {};
    QStringList lines{"Received: anz=" + QString::number(row.datagram.size())};
    if (row.datagram.size() >= FrameCodec::MinAnswerSize)
        lines << dumpLine("Empfangen_1: ", row.datagram);
    if (row.registerCount) lines << "anzReg=" + QString::number(*row.registerCount);
    return lines;
}

using ClientDatagrams = ClientTest;

// Each datagram is judged by its function code and length alone: a well-formed answer reaches
// the callback of its function, anything else leaves its line and nothing more. Either way the
// client goes on polling and handles the next answer.
TEST_F(ClientDatagrams, EachGetsItsLinesAndCallbacksAndTheNextAnswerIsHandled) {
    LoopbackDevice device("127.0.0.20");
    TUDP_ModBus client("127.0.0.20");
    registerRecorders(client);
    for (const auto& row : datagramRows()) {
        SCOPED_TRACE(row.name);
        client.Send_F6(27, 200, 0x1234);
        ASSERT_TRUE(device.receive());
        recorded = {};
        clearPanes();
        device.reply(row.datagram);
        ASSERT_TRUE(pollOnce(client));
        EXPECT_EQ(messages(), expectedMessages(row));
        EXPECT_EQ(errors(), row.outcome.errors);
        EXPECT_EQ(recorded.reads, row.outcome.calls.reads);
        EXPECT_EQ(recorded.writes, row.outcome.calls.writes);
        EXPECT_EQ(recorded.errors, row.outcome.calls.errors);

        recorded = {};
        client.Send_F6(27, 200, 0x1234);
        ASSERT_TRUE(device.answer());
        ASSERT_TRUE(pollOnce(client));
        EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{6, 27, 200, 0x1234}}));
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
