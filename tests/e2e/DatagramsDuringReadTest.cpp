#include "app/Startup.h"
#include "app/Varden.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterImage.h"
#include "shell/EventGuard.h"
#include "tests/support/AnswerFrame.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/Operator.h"
#include "widgets/PanelButton.h"
#include "wire/FrameCodec.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Datagrams that arrive together, so that they wait in the socket together; stores: they are
// a well-formed read answer, which stores its registers from its transaction identifier on,
// as far as the image reaches.
struct Arrival {
    const char* name;
    std::vector<Bytes> datagrams;
    bool stores = false;
};

const std::vector<Arrival>& arrivals() {
    static const std::vector<Arrival> list = {
        {"Empty", {Bytes{}}},
        {"EightBytes", {answerFrame(1000, 3, 0x83, 8)}},
        {"NineBytesFunction0", {Bytes(9, 0)}},
        {"BufferSized", {readAnswerFrame(1000, 100, 2000)}},
        {"Oversized", {readAnswerFrame(1000, 100, 2001)}},
        {"ReadLength0", {answerFrame(1000, 0, 3, 9)}},
        {"ReadLength1", {answerFrame(1000, 1, 3, 9)}},
        {"ReadLengthFFFF", {answerFrame(1000, 0xFFFF, 3, 2000)}},
        {"ReadOneByteShort", {readAnswerFrame(1000, 100, 208)}},
        {"ReadOneByteLong", {readAnswerFrame(1000, 100, 210)}},
        {"Read501", {readAnswerFrame(1000, 501)}},
        {"UnknownFunction", {answerFrame(1000, 6, 4, 12)}},
        {"WriteEchoesWrongLength", {answerFrame(1000, 6, 6, 11), answerFrame(1000, 6, 16, 13)}},
        {"ExceptionWrongLength", {answerFrame(1000, 3, 0x83, 10)}},
        {"WriteEchoes", {answerFrame(1000, 6, 6, 12), answerFrame(1000, 6, 16, 12)}},
        {"Exceptions",
         {answerFrame(1000, 3, 0x83, 9), answerFrame(1000, 3, 0x86, 9),
          answerFrame(1000, 3, 0x90, 9)}},
        {"ReadNoRegisters", {readAnswerFrame(1000, 0)}, true},
        {"ReadInTheImage", {readAnswerFrame(5000, 100)}, true},
        // The handler raises at the first register past 32000: the client reports it.
        {"ReadPastTheImage", {readAnswerFrame(31990, 20)}, true},
        {"ReadBeyondTheImage", {readAnswerFrame(40000, 10)}, true},
    };
    return list;
}

std::vector<std::uint16_t> snapshot() {
    std::vector<std::uint16_t> values;
    for (std::int32_t reg = 0; reg <= HighestRegister; ++reg)
        values.push_back(RegImage.at(reg));
    return values;
}

// What a well-formed read answer leaves in the image at offset 0.
void store(std::vector<std::uint16_t>& image, const Bytes& answer) {
    const std::int32_t first = FrameCodec::getWord(answer.data());
    for (std::size_t at = 9; at + 1 < answer.size(); at += 2) {
        const std::int32_t reg = first + static_cast<std::int32_t>(at - 9) / 2;
        if (reg > HighestRegister) return;
        image[static_cast<std::size_t>(reg)] = FrameCodec::getWord(answer.data() + at);
    }
}

// The monitor in a Read once pass over registers 0..32000 (offset 0), its client's socket given
// one arrival of each kind between the pass's ticks; PollReceive is driven by hand. Whatever
// arrives, no box opens, both timers run on, the image changes only where a well-formed read
// answer inside it says so, and the pass's next answer is handled as always.
class DatagramsDuringARead : public testing::Test {
  protected:
    DatagramsDuringARead() : device("127.0.0.250") {
        // Values unlike the image's zeros, so the device's answers show where they land.
        for (std::int32_t reg = 0; reg <= HighestRegister; ++reg)
            device.registers.write(static_cast<std::uint16_t>(reg),
                                   static_cast<std::uint16_t>(0x1234 + 7 * reg));
        Startup::startModules(QStringLiteral("127.0.0.250"));
        window = Startup::createMainWindow();
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        StartReg = 0;
        EndReg = HighestRegister;
        RegOffset = 0;
    }
    ~DatagramsDuringARead() override {
        window.reset();
        Startup::stopModules();
    }

    int lineCount() const {
        return window->Memo1->document()->blockCount() + window->Memo2->document()->blockCount();
    }
    // The reader's next request, as its timer would send it.
    void tick() {
        EventGuard::run([this] { window->Timer1Timer(); });
    }
    // Polls as the client's timer would until it takes one datagram: each leaves a line.
    bool takeOne() {
        window->Memo1->clear();
        window->Memo2->clear();
        const int before = lineCount();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            UdpBus->PollReceive();
            if (lineCount() != before) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return false;
    }

    DialogRecorder dialogs;
    LoopbackDevice device;
    std::unique_ptr<TVarden> window;
};

TEST_F(DatagramsDuringARead, NoBoxTimersRunAndOnlyReadAnswersChangeTheImage) {
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    ASSERT_TRUE(device.receive());
    std::vector<std::uint16_t> expected = snapshot();
    for (const Arrival& arrival : arrivals()) {
        SCOPED_TRACE(arrival.name);
        for (const Bytes& datagram : arrival.datagrams)
            device.reply(datagram);
        for (const Bytes& datagram : arrival.datagrams) {
            ASSERT_TRUE(takeOne()) << datagram.size() << " bytes";
            if (arrival.stores) store(expected, datagram);
        }
        const std::vector<std::uint16_t> now = snapshot();
        const auto [changed, wanted] = std::mismatch(now.begin(), now.end(), expected.begin());
        ASSERT_TRUE(changed == now.end())
            << "register " << changed - now.begin() << " holds " << *changed << ", not " << *wanted;
        tick();
        ASSERT_TRUE(device.receive());
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_TRUE(UdpBus->Timer().isActive());

    // The pass goes on, and its next answer from the device is handled as always.
    tick();
    const auto request = device.answer();
    ASSERT_TRUE(request);
    ASSERT_TRUE(takeOne());
    const std::int32_t first = FrameCodec::getWord(request->data() + 8);
    const std::int32_t count = FrameCodec::getWord(request->data() + 10);
    for (std::int32_t reg = first; reg < first + count; ++reg)
        ASSERT_EQ(RegImage.at(reg), device.registers.read(static_cast<std::uint16_t>(reg)));
    EXPECT_TRUE(
        Operator::linesOf(window->Memo1)
            .contains(QStringLiteral("F3 Antwort: tr_id:=%1   Anzahl=%2").arg(first).arg(count)));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
