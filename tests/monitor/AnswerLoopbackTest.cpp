#include "monitor/RegisterImage.h"
#include "tests/monitor/FilledCells.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/HexBytes.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/MonitorWindow.h"
#include "tests/support/Operator.h"
#include "widgets/StringGrid.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The monitor as started, aimed at a loopback device of the test's own: answers come back
// through the real client, its poll timer and the handlers registered at start-up.
class Monitor {
  public:
    explicit Monitor(const char* address) : device(address), window(QString::fromLatin1(address)) {}

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
    bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 3000);
    }

    QString messages() const { return window->Memo1->toPlainText(); }
    QString errors() const { return window->Memo2->toPlainText(); }
    StringGrid& grid() const { return *window->Grid1; }

    DialogRecorder dialogs;
    LoopbackDevice device;
    MonitorWindow window;
};

const QString RangeErrorLine =
    QStringLiteral("Receive Exception: CallBack unInitialisiert ? Fehler bei Bereichsprüfung\n");

TEST(AnswerThroughTheClient, F3AnswerFillsImageAndGridAndIsLogged) {
    Monitor monitor("127.0.0.50");
    monitor.fill(0, 100);
    monitor.read(0, 100);
    ASSERT_TRUE(monitor.waitFor([] { return RegImage.at(1099) == 0x163; }));
    EXPECT_EQ(RegImage.at(1000), 0x100);
    EXPECT_EQ(monitor.grid().cell(1, 101), QStringLiteral("0100"));
    EXPECT_EQ(monitor.grid().cell(10, 110), QStringLiteral("0163"));
    EXPECT_EQ(filledCells(monitor.grid()).size(), 100);
    EXPECT_TRUE(monitor.messages().endsWith(
        QStringLiteral("anzReg=100\nF3 Antwort: tr_id:=0   Anzahl=100\n\n")));
    EXPECT_TRUE(monitor.errors().isEmpty());
}

TEST(AnswerThroughTheClient, RegisterBeyondTheImageEndsTheAnswerWithTheClientsLine) {
    Monitor monitor("127.0.0.51");
    RegOffset = 0;
    monitor.fill(31950, 100);
    monitor.read(31950, 100);
    ASSERT_TRUE(monitor.waitFor([&] { return !monitor.errors().isEmpty(); }));
    EXPECT_EQ(monitor.errors(), RangeErrorLine);
    EXPECT_EQ(RegImage.at(31950), 0x100);
    EXPECT_EQ(RegImage.at(32000), 0x132);
    EXPECT_EQ(filledCells(monitor.grid()).size(), 51);
    EXPECT_FALSE(monitor.messages().contains(QStringLiteral("F3 Antwort")));
}

TEST(AnswerThroughTheClient, ForeignBaseIsReportedAndStoresNothing) {
    Monitor monitor("127.0.0.52");
    monitor.read(40000, 10);
    ASSERT_TRUE(monitor.waitFor([&] { return !monitor.errors().isEmpty(); }));
    EXPECT_EQ(monitor.errors(), RangeErrorLine);
    EXPECT_TRUE(filledCells(monitor.grid()).isEmpty());
    EXPECT_FALSE(monitor.messages().contains(QStringLiteral("F3 Antwort")));
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
    ASSERT_TRUE(monitor.waitFor([&] { return !monitor.errors().isEmpty(); }));
    EXPECT_EQ(monitor.grid().cell(10, 101), QStringLiteral("0109"));
    EXPECT_EQ(monitor.device.registers.read(3), 0xFF);
    EXPECT_TRUE(monitor.messages().isEmpty());
    EXPECT_EQ(monitor.errors(), QStringLiteral("CallBack: F3_Error: tr_id:=65500   errCode=2\n"));
}

TEST(AnswerThroughTheClient, F6EchoIsLogged) {
    Monitor monitor("127.0.0.54");
    UdpBus->Send_F6(27, 3, 0xFF);
    ASSERT_TRUE(monitor.device.answer().has_value());
    ASSERT_TRUE(monitor.waitFor([&] { return monitor.messages().contains("F6 Antwort"); }));
    EXPECT_TRUE(monitor.messages().endsWith(
        QStringLiteral("F6 Antwort: tr_id:=27   Adr=3   Wert=255\n\n")));
}

// The operator clicks register 1003, types ff and presses Enter while cyclic answers keep
// arriving: the device gets 255, not a value the answers put into the cell.
TEST(AnswerThroughTheClient, AnswersBetweenKeystrokesLeaveTheTypedValueAlone) {
    Monitor monitor("127.0.0.55");
    StringGrid& grid = monitor.grid();
    Operator::clickCell(&grid, 4, 101);
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
    EXPECT_EQ(grid.cell(4, 101), QStringLiteral("ff"));
    EXPECT_EQ(grid.cell(5, 101), QStringLiteral("0304"));
    Operator::press(Qt::Key_Return);
    const auto request = monitor.device.receive();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(bytesToHex(*request), "00 1B 00 00 00 06 01 06 00 03 00 FF");
    EXPECT_EQ(grid.cell(4, 101), QStringLiteral("00FF"));
    EXPECT_EQ(RegImage.at(1003), 0x00FF);
}

} // namespace
