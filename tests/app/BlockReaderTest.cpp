#include "modbus/SocketLayer.h"
#include "monitor/GridMapping.h"
#include "monitor/RegisterImage.h"
#include "shell/EventGuard.h"
#include "tests/support/MonitorWithDevice.h"
#include "tests/support/TestAddress.h"
#include "widgets/PanelButton.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

struct Request {
    std::uint16_t address;
    std::uint16_t count;
    bool operator==(const Request&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Request& r) {
    return out << "(" << r.address << ", " << r.count << ")";
}

// The function 3 request the device heard, checked to carry its address as transaction id.
std::optional<Request> heard(LoopbackDevice& device, std::chrono::milliseconds timeout = 500ms) {
    const auto frame = device.receive(timeout);
    if (!frame) return std::nullopt;
    EXPECT_EQ(frame->size(), 12u);
    EXPECT_EQ((*frame)[7], 3);
    const auto word = [&](int at) { return std::uint16_t((*frame)[at] << 8 | (*frame)[at + 1]); };
    EXPECT_EQ(word(0), word(8)) << "transaction identifier = start address";
    return Request{word(8), word(10)};
}

// The block reader against a loopback device socket; ticks are driven by hand so the test
// sees every request without waiting 120 ms for each.
class BlockReader : public testing::Test, protected MonitorWithDevice {
  protected:
    BlockReader() : MonitorWithDevice(testAddress(100)) {}

    // As the timer's binding does: under the event loop's guard.
    void tick() {
        EventGuard::run([this] { window->Timer1Timer(); });
    }
    bool timerRuns() const { return window->Timer1->isActive(); }
    bool cyclicPanelGreen() const {
        return window->Read_cyclic_Panel->color() == PanelButton::green();
    }
    void setRange(std::int32_t start, std::int32_t end) {
        StartReg = start;
        EndReg = end;
    }
};

TEST_F(BlockReader, ReadOnceWalksTheStartRangeOneRequestPerTick) {
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    EXPECT_EQ(heard(device), (Request{0, 100}));
    EXPECT_TRUE(timerRuns());
    tick();
    EXPECT_EQ(heard(device), (Request{100, 100}));
    EXPECT_TRUE(timerRuns());
    tick();
    EXPECT_EQ(heard(device), (Request{200, 1}));
    EXPECT_FALSE(timerRuns());
    EXPECT_EQ(NextReg, 1201);
    EXPECT_EQ(heard(device, 100ms), std::nullopt);
}

TEST_F(BlockReader, ReadCyclicWrapsAndSilencesTheMessagePane) {
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    EXPECT_TRUE(Cyclic);
    EXPECT_TRUE(cyclicPanelGreen());
    EXPECT_EQ(window->Memo1->toPlainText().split(u'\n').filter(QStringLiteral("Send F3")).size(),
              0);
    EXPECT_TRUE(
        window->Memo1->toPlainText().endsWith(QStringLiteral("Meldungen ausgeschaltet...\n")));
    EXPECT_EQ(heard(device), (Request{0, 100}));
    tick();
    tick();
    EXPECT_EQ(heard(device), (Request{100, 100}));
    EXPECT_EQ(heard(device), (Request{200, 1}));
    EXPECT_EQ(NextReg, StartReg);
    EXPECT_TRUE(timerRuns());
    tick();
    EXPECT_EQ(heard(device), (Request{0, 100}));
}

TEST_F(BlockReader, ARangeOfExactlyOneHundredNeverStartsTheTimer) {
    setRange(1000, 1099);
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    EXPECT_EQ(heard(device), (Request{0, 100}));
    EXPECT_FALSE(timerRuns());
}

TEST_F(BlockReader, SwitchedOffMidPassTheReaderCompletesThePassThenStops) {
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    EXPECT_FALSE(Cyclic);
    EXPECT_FALSE(cyclicPanelGreen());
    EXPECT_TRUE(timerRuns());
    tick();
    tick();
    EXPECT_EQ(heard(device), (Request{0, 100}));
    EXPECT_EQ(heard(device), (Request{100, 100}));
    EXPECT_EQ(heard(device), (Request{200, 1}));
    EXPECT_FALSE(timerRuns());
}

TEST_F(BlockReader, SwitchedOffRightAfterAWrapOneMoreFullPassFollows) {
    setRange(1000, 1150);
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    tick(); // (100, 51): the pass wraps
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    tick();
    tick();
    for (Request expected : {Request{0, 100}, Request{100, 51}, Request{0, 100}, Request{100, 51}})
        EXPECT_EQ(heard(device), expected);
    EXPECT_FALSE(timerRuns());
}

TEST_F(BlockReader, EndLoweredToNextMinusOneEndsThePassWithAnEmptyRequest) {
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    EndReg = NextReg - 1;
    tick();
    EXPECT_EQ(heard(device), (Request{0, 100}));
    EXPECT_EQ(heard(device), (Request{100, 0}));
    EXPECT_FALSE(timerRuns());
}

TEST_F(BlockReader, ReadOnceDuringAPassStartsAgainFromTheStart) {
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    tick();
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    for (Request expected : {Request{0, 100}, Request{100, 100}, Request{0, 100}})
        EXPECT_EQ(heard(device), expected);
}

TEST_F(BlockReader, AFailingRequestEndsThePassWithOneErrorBox) {
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    EndReg = NextReg - 2; // the next count would be below zero
    tick();
    QTest::qWait(300); // the timer would have ticked twice more
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Fehler bei Bereichsprüfung."));
    EXPECT_FALSE(timerRuns());
    EXPECT_FALSE(Cyclic);
    EXPECT_FALSE(cyclicPanelGreen());
    EXPECT_EQ(NextReg, 1100);
}

TEST_F(BlockReader, AFailingFirstRequestLeavesNoGreenPanelBehind) {
    RegOffset = 1001; // register 1000 has no device address
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_FALSE(Cyclic);
    EXPECT_FALSE(cyclicPanelGreen());
    EXPECT_FALSE(timerRuns());
    EXPECT_EQ(heard(device, 100ms), std::nullopt);
}

TEST_F(BlockReader, AnOffsetOverflowingTheSubtractionIsReportedAsSuch) {
    RegOffset = std::numeric_limits<std::int32_t>::min();
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Integerüberlauf."));
}

TEST_F(BlockReader, ExitWhileCyclicSendsNothingFurther) {
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    EXPECT_EQ(heard(device), (Request{0, 100}));
    QTest::mouseClick(window->EXIT_Button, Qt::LeftButton);
    EXPECT_FALSE(timerRuns());
    QTest::qWait(300);
    EXPECT_EQ(heard(device, 100ms), std::nullopt);
}

TEST_F(BlockReader, TheTimerPacesRequestsAbout120MillisecondsApart) {
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(heard(device), (Request{0, 100}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !timerRuns(); }, 3000));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(heard(device), (Request{100, 100}));
    EXPECT_EQ(heard(device), (Request{200, 1}));
    EXPECT_GE(elapsed, 200ms) << "two ticks of 120 ms";
}

class BlockReaderNotReady : public testing::Test {
  protected:
    BlockReaderNotReady() {
        SocketLayer::setResolver([](std::string_view) -> std::optional<std::uint32_t> {
            SocketLayer::setLastError(11001);
            return std::nullopt;
        });
    }
    ~BlockReaderNotReady() override { SocketLayer::setResolver({}); }

    DialogRecorder dialogs;
    MonitorWindow window{QStringLiteral("device.invalid")};
};

TEST_F(BlockReaderNotReady, NeitherPanelStartsAnything) {
    window->Memo1->clear();
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
    EXPECT_EQ(window->Memo1->toPlainText(),
              QStringLiteral("set valid IP-Addr.\nset valid IP-Addr.\n"));
    EXPECT_FALSE(Cyclic);
    EXPECT_FALSE(window->Timer1->isActive());
}

} // namespace
