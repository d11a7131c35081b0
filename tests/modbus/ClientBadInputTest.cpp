#include "tests/modbus/ClientTestSupport.h"
#include "tests/support/HexBytes.h"
#include "tests/support/LoopbackDevice.h"

#include "wire/FrameCodec.h"

#include <optional>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A function 3 answer with the given length field, size bytes long.
Bytes readAnswer(std::uint16_t length, std::size_t size) {
    Bytes frame(size, 0x5A);
    const Bytes head = bytesFromHex("00 18 00 00 00 00 01 03 00");
    std::copy(head.begin(), head.begin() + static_cast<long>(std::min(size, head.size())),
              frame.begin());
    if (size >= 6) FrameCodec::putWord(frame.data() + 4, length);
    return frame;
}

Bytes truncatedEcho(std::size_t size) {
    return Bytes(size, 0x06);
}

struct BadInputRow {
    std::string name;
    Bytes datagram;
    QStringList errors;
    std::optional<int> registerCount = std::nullopt; // the "anzReg=" line of a function 3 answer
    std::size_t callbacks = 0;
};

std::vector<BadInputRow> badInputRows() {
    std::vector<BadInputRow> rows;
    for (std::size_t size = 0; size <= 8; ++size)
        rows.push_back({"Size" + std::to_string(size), truncatedEcho(size), {}});
    const auto f3Length = [](std::int64_t rest) {
        return QStringList{"F3 Antwort mit falscher länge,  rest=" + QString::number(rest)};
    };
    const auto otherLength = [](std::int64_t rest) {
        return QStringList{"AntwortDaten mit falscher Länge,  rest=" + QString::number(rest)};
    };
    const QStringList tooMany{"F3 Antwort mit mehr als 500 Register..wird verworfen"};
    const auto unknown = [](int code) {
        return QStringList{"Unbekannte UDP/Modbus Antwort, FC=" + QString::number(code)};
    };
    rows.insert(
        rows.end(),
        {
            {"Size9UnknownFunction0", Bytes(9, 0), unknown(0)},
            {"Size2000", readAnswer(203, 2000), f3Length(1791), 100},
            {"Size2001", readAnswer(203, 2001), {messageTooLongLine()}},
            {"Length0", readAnswer(0, 9), f3Length(2), -1},
            {"Length1", readAnswer(1, 9), f3Length(2), -1},
            {"Length2", readAnswer(2, 9), {}, 0, 1},
            {"Length3", readAnswer(3, 9), {}, 0, 1},
            {"Length4", readAnswer(4, 9), {}, 0, 1},
            {"LengthFFFF", readAnswer(0xFFFF, 1000), tooMany, 32766},
            {"LengthOneShort", readAnswer(203, 208), f3Length(-1), 100},
            {"LengthOneLong", readAnswer(203, 210), f3Length(1), 100},
            {"LengthFarOff", readAnswer(203, 1500), f3Length(1291), 100},
            {"LengthFarOffShort", readAnswer(203, 12), f3Length(-197), 100},
            {"Registers501", readAnswer(1005, 1011), tooMany, 501},
            {"Function4", bytesFromHex("00 01 00 00 00 03 01 04 02"), unknown(4)},
            {"Function84", bytesFromHex("00 01 00 00 00 03 01 84 02"), unknown(132)},
            {"FunctionFF", bytesFromHex("00 01 00 00 00 03 01 FF 02"), unknown(255)},
            {"WriteSingleEleven", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8 12"),
             otherLength(-1)},
            {"WriteSingleTen", bytesFromHex("00 1B 00 00 00 06 01 06 00 C8"), otherLength(-2)},
            {"WriteMultipleThirteen", bytesFromHex("00 37 00 00 00 06 01 10 03 E8 00 02 00"),
             otherLength(1)},
            {"Exception83Ten", bytesFromHex("00 05 00 00 00 03 01 83 02 00"), otherLength(1)},
            {"Exception90Twenty",
             Bytes{0, 5, 0, 0, 0, 3, 1, 0x90, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, otherLength(11)},
        });
    return rows;
}

QStringList expectedMessages(const BadInputRow& row) {
    if (row.datagram.size() > FrameCodec::BufferSize) return {};
    QStringList lines{"Received: anz=" + QString::number(row.datagram.size())};
    if (row.datagram.size() >= FrameCodec::MinAnswerSize)
        lines << dumpLine("Empfangen_1: ", row.datagram);
    if (row.registerCount) lines << "anzReg=" + QString::number(*row.registerCount);
    return lines;
}

using ClientBadInput = ClientTest;

// After every malformed datagram the client goes on polling and handles the next good answer.
TEST_F(ClientBadInput, EachIsReportedDroppedAndTheNextAnswerHandled) {
    LoopbackDevice device("127.0.0.20");
    TUDP_ModBus client("127.0.0.20");
    registerRecorders(client);
    for (const auto& row : badInputRows()) {
        SCOPED_TRACE(row.name);
        client.Send_F6(27, 200, 0x1234);
        ASSERT_TRUE(device.receive());
        recorded = {};
        clearPanes();
        device.reply(row.datagram);
        ASSERT_TRUE(pollOnce(client));
        EXPECT_EQ(messages(), expectedMessages(row));
        EXPECT_EQ(errors(), row.errors);
        EXPECT_EQ(recorded.callbacks(), row.callbacks);

        client.Send_F6(27, 200, 0x1234);
        ASSERT_TRUE(device.answer());
        ASSERT_TRUE(pollOnce(client));
        EXPECT_EQ(recorded.writes, (std::vector<WriteCall>{{6, 27, 200, 0x1234}}));
    }
}

} // namespace
