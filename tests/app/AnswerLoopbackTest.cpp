#include "monitor/RegisterImage.h"
#include "tests/support/HexBytes.h"
#include "tests/support/MonitorWithDevice.h"
#include "tests/support/Operator.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Answers come back from the test's device through the real client, its poll timer and the
// handlers registered at start-up.
class Monitor : public MonitorWithDevice {
  public:
    using MonitorWithDevice::MonitorWithDevice;

    // Device registers address.. hold first, first + 1, ... so each shows where it came from.
    void fill(std::uint16_t address, std::uint16_t count, std::uint16_t first = 0x100) {
        for (std::uint16_t i = 0; i < count; ++i)
            device.registers.write(static_cast<std::uint16_t>(address + i),
                                   static_cast<std::uint16_t>(first + i));
    }
    // The client asks for count registers at address (its transaction identifier too), and
    // the device answers.
    void read(std::uint16_t address, std::uint16_t count) {
        UdpBus->Send_F3(address, address, count);
        ASSERT_TRUE(device.answer().has_value());
    }
    static bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 3000);
    }
};

const QString RangeErrorLine =
    QStringLiteral("Receive Exception: CallBack unInitialisiert ? Fehler bei Bereichsprüfung\n");

TEST(AnswerThroughTheClient, F3AnswerFillsImageAndGridAndIsLogged) {
    Monitor monitor("127.0.0.50");
    monitor.fill(0, 100);
    monitor.read(0, 100);
    ASSERT_TRUE(monitor.waitFor([] { return RegImage.at(1099) == 0x163; }));
    EXPECT_EQ(RegImage.at(999), 0);
    EXPECT_EQ(RegImage.at(1000), 0x100);
    EXPECT_EQ(RegImage.at(1100), 0);
    EXPECT_EQ(monitor.window.shown(1, 101), QStringLiteral("0100"));
    EXPECT_EQ(monitor.window.shown(10, 110), QStringLiteral("0163"));
    EXPECT_EQ(monitor.window.filledCells().size(), 100);
    EXPECT_TRUE(monitor.window.messages().endsWith(
        QStringLiteral("anzReg=100\nF3 Antwort: tr_id:=0   Anzahl=100\n\n")));
    EXPECT_TRUE(monitor.window.errors().isEmpty());
}

TEST(AnswerThroughTheClient, RegisterBeyondTheImageEndsTheAnswerWithTheClientsLine) {
    Monitor monitor("127.0.0.51");
    RegOffset = 0;
    monitor.fill(31950, 100);
    monitor.read(31950, 100);
    ASSERT_TRUE(monitor.waitFor([&] { return !monitor.window.errors().isEmpty(); }));
    EXPECT_EQ(monitor.window.errors(), RangeErrorLine);
    EXPECT_EQ(RegImage.at(31950), 0x100);
    EXPECT_EQ(RegImage.at(32000), 0x132);
    EXPECT_EQ(monitor.window.filledCells().size(), 51);
    EXPECT_FALSE(monitor.window.messages().contains(QStringLiteral("F3 Antwort")));
}

TEST(AnswerThroughTheClient, CyclicSilencesTheAnswerButNotTheErrors) {
    Monitor monitor("127.0.0.53");
    Cyclic = true;
    monitor.fill(0, 10);
    monitor.read(0, 10);
    ASSERT_TRUE(monitor.waitFor([] { return RegImage.at(1009) == 0x109; }));
    UdpBus->Send_F6(27, 3, 0xFF);
    ASSERT_TRUE(monitor.device.answer().has_value());
    monitor.read(65500, 100); // past the device's last register: exception 2
    ASSERT_TRUE(monitor.waitFor([&] { return !monitor.window.errors().isEmpty(); }));
    EXPECT_EQ(monitor.window.shown(10, 101), QStringLiteral("0109"));
    EXPECT_EQ(monitor.device.registers.read(3), 0xFF);
    EXPECT_TRUE(monitor.window.messages().isEmpty());
    EXPECT_EQ(monitor.window.errors(),
              QStringLiteral("CallBack: F3_Error: tr_id:=65500   errCode=2\n"));
}

TEST(AnswerThroughTheClient, F6EchoIsLogged) {
    Monitor monitor("127.0.0.54");
    UdpBus->Send_F6(27, 3, 0xFF);
    ASSERT_TRUE(monitor.device.answer().has_value());
    ASSERT_TRUE(monitor.waitFor([&] { return monitor.window.messages().contains("F6 Antwort"); }));
    EXPECT_TRUE(monitor.window.messages().endsWith(
        QStringLiteral("F6 Antwort: tr_id:=27   Adr=3   Wert=255\n\n")));
}

// The operator clicks register 1003, types ff and presses Enter while cyclic answers keep
// arriving: the device gets 255, not a value the answers put into the cell.
TEST(AnswerThroughTheClient, AnswersBetweenKeystrokesLeaveTheTypedValueAlone) {
    Monitor monitor("127.0.0.55");
    Operator::clickCell(monitor.window->Grid1, 4, 101);
    ASSERT_EQ(SelCol, 4);
    ASSERT_EQ(SelRow, 101);
    Cyclic = true;
    const auto answerArrives = [&](std::uint16_t first) {
        monitor.fill(0, 100, first);
        monitor.read(0, 100);
        ASSERT_TRUE(monitor.waitFor([first] { return RegImage.at(1000) == first; }));
    };
    Operator::type(QStringLiteral("f"));
    answerArrives(0x200);
    Operator::type(QStringLiteral("f"));
    answerArrives(0x300);
    EXPECT_EQ(monitor.window.shown(4, 101), QStringLiteral("ff"));
    EXPECT_EQ(monitor.window.shown(5, 101), QStringLiteral("0304"));
    Operator::press(Qt::Key_Return);
    const auto request = monitor.device.receive();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(bytesToHex(*request), "00 1B 00 00 00 06 01 06 00 03 00 FF");
    EXPECT_EQ(monitor.window.shown(4, 101), QStringLiteral("00FF"));
    EXPECT_EQ(RegImage.at(1003), 0x00FF);
}

} // namespace
