#include "app/Startup.h"
#include "app/Varden.h"
#include "monitor/GridMapping.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterImage.h"
#include "monitor/RegisterNumbers.h"
#include "shell/EventGuard.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/HexBytes.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/Operator.h"
#include "tests/support/Wine.h"
#include "tools/device/RequestHandler.h"
#include "widgets/PanelButton.h"
#include "widgets/StringGrid.h"
#include "wire/FrameCodec.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <random>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Datagrams = std::vector<Bytes>;
using Rng = std::mt19937;

const char* const DeviceAddress = "127.0.0.250";
const char* const OtherAddress = "127.0.0.251";
constexpr int CampaignSize = 3000;
constexpr int DatagramsPerTick = 12; // the read pass moves on while datagrams pour in
constexpr std::int32_t LastRegister = HighestRegister;

int uniform(Rng& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

Bytes randomBytes(Rng& rng, std::size_t size) {
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(uniform(rng, 0, 255));
    return bytes;
}

std::uint16_t word(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// A frame of size bytes: random protocol and unit identifier and payload, the given
// transaction identifier, length field and function code.
Bytes frame(Rng& rng, std::size_t size, std::uint16_t trId, std::uint16_t length,
            std::uint8_t function) {
    Bytes bytes = randomBytes(rng, size);
    FrameCodec::putWord(bytes.data(), trId);
    FrameCodec::putWord(bytes.data() + 4, length);
    bytes[7] = function;
    return bytes;
}

std::uint16_t anyWord(Rng& rng) {
    return static_cast<std::uint16_t>(uniform(rng, 0, 0xFFFF));
}

// A function 3 answer carrying count random registers for the device address trId.
Bytes readAnswer(Rng& rng, std::uint16_t trId, int count) {
    return frame(rng, static_cast<std::size_t>(9 + 2 * count), trId,
                 static_cast<std::uint16_t>(3 + 2 * count), 3);
}

// The request of the read pass that the device heard last, and the simulator's answer to it.
struct Request {
    Bytes frame;
    Bytes answer;
};

struct DatagramClass {
    const char* name;
    int weight;
    // One datagram, or two that wait in the socket together.
    std::function<Datagrams(Rng&, const Request&)> make;
    // A well-formed function 3 answer: it may store registers from its transaction identifier
    // on. Every other class must leave the image alone.
    bool mayStore = false;
};

const std::vector<DatagramClass>& datagramClasses() {
    static const std::vector<DatagramClass> classes = {
        {"Short", 6,
         [](Rng& rng, const Request&) {
             return Datagrams{randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 8)))};
         }},
        {"NineBytes", 4, [](Rng& rng, const Request&) { return Datagrams{randomBytes(rng, 9)}; }},
        {"BufferSized", 2,
         [](Rng& rng, const Request&) {
             const int count = uniform(rng, 0, 600);
             return Datagrams{
                 frame(rng, 2000, anyWord(rng), static_cast<std::uint16_t>(3 + 2 * count), 3)};
         }},
        {"Oversized", 3,
         [](Rng& rng, const Request&) {
             const int size = uniform(rng, 0, 1) ? 2001 : uniform(rng, 2002, 2100);
             return Datagrams{randomBytes(rng, static_cast<std::size_t>(size))};
         }},
        {"ReadLengthField", 6,
         [](Rng& rng, const Request&) {
             static const std::uint16_t lengths[] = {0, 1, 2, 3, 4, 0xFFFF};
             const std::size_t size = uniform(rng, 0, 1) ? 9 : uniform(rng, 9, 2000);
             return Datagrams{frame(rng, size, anyWord(rng), lengths[uniform(rng, 0, 5)], 3)};
         }},
        {"ReadLengthOff", 8,
         [](Rng& rng, const Request&) {
             const int count = uniform(rng, 0, 500);
             int delta = 0;
             while (delta == 0)
                 delta = uniform(rng, 0, 2) ? (uniform(rng, 0, 1) ? 1 : -1)
                                            : uniform(rng, -2 * count, 1991 - 2 * count);
             return Datagrams{frame(rng, static_cast<std::size_t>(9 + 2 * count + delta),
                                    anyWord(rng), static_cast<std::uint16_t>(3 + 2 * count), 3)};
         }},
        {"ReadTooMany", 4,
         [](Rng& rng, const Request&) {
             const int count = uniform(rng, 0, 3) ? 501 : uniform(rng, 502, 32766);
             return Datagrams{frame(rng, static_cast<std::size_t>(uniform(rng, 9, 2000)),
                                    anyWord(rng), static_cast<std::uint16_t>(3 + 2 * count), 3)};
         }},
        {"UnknownFunction", 6,
         [](Rng& rng, const Request&) {
             static const std::uint8_t named[] = {4, 0x84, 0xFF, 0};
             int function = named[uniform(rng, 0, 3)];
             if (uniform(rng, 0, 1)) do
                     function = uniform(rng, 0, 255);
                 while (function == 3 || function == 6 || function == 16 || function == 0x83 ||
                        function == 0x86 || function == 0x90);
             return Datagrams{frame(rng, static_cast<std::size_t>(uniform(rng, 9, 300)),
                                    anyWord(rng), anyWord(rng),
                                    static_cast<std::uint8_t>(function))};
         }},
        {"WriteEchoWrongLength", 5,
         [](Rng& rng, const Request&) {
             std::size_t size = 12;
             while (size == 12)
                 size = static_cast<std::size_t>(uniform(rng, 9, 60));
             return Datagrams{
                 frame(rng, size, anyWord(rng), anyWord(rng), uniform(rng, 0, 1) ? 6 : 16)};
         }},
        {"ExceptionWrongLength", 5,
         [](Rng& rng, const Request&) {
             static const std::uint8_t functions[] = {0x83, 0x86, 0x90};
             return Datagrams{frame(rng, static_cast<std::size_t>(uniform(rng, 10, 60)),
                                    anyWord(rng), anyWord(rng), functions[uniform(rng, 0, 2)])};
         }},
        {"WriteEcho", 4,
         [](Rng& rng, const Request&) {
             return Datagrams{frame(rng, 12, anyWord(rng), 6, uniform(rng, 0, 1) ? 6 : 16)};
         }},
        {"ExceptionAnswer", 4,
         [](Rng& rng, const Request&) {
             static const std::uint8_t functions[] = {0x83, 0x86, 0x90};
             return Datagrams{frame(rng, 9, anyWord(rng), 3, functions[uniform(rng, 0, 2)])};
         }},
        {"ReadAnswerInImage", 5,
         [](Rng& rng, const Request&) {
             const int count = uniform(rng, 0, 500);
             const int trId = uniform(rng, 0, LastRegister + 1 - count);
             return Datagrams{readAnswer(rng, static_cast<std::uint16_t>(trId), count)};
         },
         true},
        // The handler raises when the answer runs past register 32000: the client catches it.
        {"ReadAnswerPastTheImage", 4,
         [](Rng& rng, const Request&) {
             const int count = uniform(rng, 1, 500);
             const int trId = uniform(rng, LastRegister + 1 - count + 1, 0xFFFF);
             return Datagrams{readAnswer(rng, static_cast<std::uint16_t>(trId), count)};
         },
         true},
        {"TwoWaiting", 3,
         [](Rng& rng, const Request&) {
             return Datagrams{frame(rng, 12, anyWord(rng), 6, 6),
                              frame(rng, 9, anyWord(rng), 3, 0x86)};
         }},
        {"GoodAnswer", 6, [](Rng&, const Request& request) { return Datagrams{request.answer}; },
         true},
        {"RandomBytes", 75,
         [](Rng& rng, const Request&) {
             return Datagrams{randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 2100)))};
         }},
    };
    return classes;
}

// Where a datagram of a storing class may write, and what: registers trId.. hold its words.
bool mayHaveStored(const Bytes& datagram, std::int32_t reg, std::uint16_t value) {
    const std::int32_t first = word(datagram, 0);
    const std::int32_t count = (static_cast<std::int32_t>(datagram.size()) - 9) / 2;
    return reg >= first && reg < first + count &&
           value == word(datagram, static_cast<std::size_t>(9 + 2 * (reg - first)));
}

// The monitor in a Read once pass over 0..32000 (offset 0), its client's socket under a few
// thousand datagrams from four loopback senders; PollReceive is driven by hand. Whatever
// arrives, no box opens, both timers run on, the image changes only where a well-formed read
// answer inside it says so, and the next good answer is handled.
class MalformedDatagramCampaign : public testing::Test {
  protected:
    MalformedDatagramCampaign()
        // Wine binds every address of port 502, so there the other host sends from a port of
        // its own.
        : device(DeviceAddress), otherPort(DeviceAddress, 0),
          otherHost(OtherAddress, underWine() ? 0 : 502), otherHostAndPort(OtherAddress, 0) {
        // Values unlike the image's zeros, so the device's answers show where they land.
        for (std::int32_t reg = 0; reg <= LastRegister; ++reg)
            device.registers.write(static_cast<std::uint16_t>(reg),
                                   static_cast<std::uint16_t>(0x1234 + 7 * reg));
        Startup::startModules(QString::fromLatin1(DeviceAddress));
        window = Startup::createMainWindow();
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        StartReg = 0;
        EndReg = LastRegister;
        RegOffset = 0;
        image = snapshot();
    }
    ~MalformedDatagramCampaign() override {
        window.reset();
        Startup::stopModules();
    }

    static std::vector<std::uint16_t> snapshot() {
        std::vector<std::uint16_t> values;
        for (std::int32_t reg = 0; reg <= LastRegister; ++reg)
            values.push_back(RegImage.at(reg));
        return values;
    }
    int lineCount() const {
        return window->Memo1->document()->blockCount() + window->Memo2->document()->blockCount();
    }
    // The request the reader has just sent, as the device hears it.
    void hearRequest() {
        const auto heard = device.receive();
        ASSERT_TRUE(heard);
        request = {*heard, RequestHandler::answer(*heard, device.registers)};
        ASSERT_FALSE(request.answer.empty());
    }
    void tick() {
        EventGuard::run([this] { window->Timer1Timer(); });
        hearRequest();
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
    // Takes one datagram; false when the client took nothing or the image changed where the
    // datagram had no say.
    bool takeAndCheck(const Bytes& datagram, bool mayStore, const std::string& label) {
        if (!takeOne()) {
            ADD_FAILURE() << label << ": the client took nothing";
            return false;
        }
        const std::vector<std::uint16_t> now = snapshot();
        for (std::int32_t reg = 0; reg <= LastRegister; ++reg) {
            const auto at = static_cast<std::size_t>(reg);
            if (now[at] == image[at] || (mayStore && mayHaveStored(datagram, reg, now[at])))
                continue;
            ADD_FAILURE() << label << " (" << datagram.size() << " bytes) changed register " << reg
                          << " from " << image[at] << " to " << now[at];
            image = now;
            return false;
        }
        image = now;
        return true;
    }

    DialogRecorder dialogs;
    LoopbackDevice device;
    LoopbackDevice otherPort;
    LoopbackDevice otherHost;
    LoopbackDevice otherHostAndPort;
    LoopbackDevice* const senders[4] = {&device, &otherPort, &otherHost, &otherHostAndPort};
    std::unique_ptr<TVarden> window;
    std::vector<std::uint16_t> image;
    Request request;
};

TEST_F(MalformedDatagramCampaign, NoBoxTimersRunAndOnlyReadAnswersChangeTheImage) {
    QTest::mouseClick(window->Read_once_Panel, Qt::LeftButton);
    hearRequest();
    const LoopbackDevice::Peer client = device.client();

    const auto& classes = datagramClasses();
    std::vector<int> weights;
    for (const auto& c : classes)
        weights.push_back(c.weight);
    Rng rng(8);
    std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
    std::map<std::string, int> sent;
    int failures = 0;
    for (int n = 0; n < CampaignSize && failures < 5; ++n) {
        if (n % DatagramsPerTick == DatagramsPerTick - 1) tick();
        const DatagramClass& kind = classes[pick(rng)];
        LoopbackDevice& sender = *senders[static_cast<std::size_t>(n) % std::size(senders)];
        const Datagrams datagrams = kind.make(rng, request);
        for (const Bytes& datagram : datagrams)
            sender.sendTo(client, datagram);
        for (const Bytes& datagram : datagrams)
            if (!takeAndCheck(datagram, kind.mayStore, kind.name + (" #" + std::to_string(n))))
                ++failures;
        ++sent[kind.name];
    }
    ASSERT_EQ(failures, 0);
    for (const auto& c : classes)
        EXPECT_GE(sent[c.name], 20) << c.name;
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_TRUE(UdpBus->Timer().isActive());

    // The pass goes on, and its next answer from the device is handled as always.
    tick();
    device.reply(request.answer);
    ASSERT_TRUE(takeOne());
    const std::int32_t first = FrameCodec::getWord(request.frame.data() + 8);
    const std::int32_t count = FrameCodec::getWord(request.frame.data() + 10);
    for (std::int32_t reg = first; reg < first + count; ++reg)
        ASSERT_EQ(RegImage.at(reg), device.registers.read(static_cast<std::uint16_t>(reg)));
    EXPECT_TRUE(
        Operator::linesOf(window->Memo1)
            .contains(QStringLiteral("F3 Antwort: tr_id:=%1   Anzahl=%2").arg(first).arg(count)));

    // The grid shows what the image holds, wherever a cell was filled.
    int wrong = 0;
    for (std::int32_t reg = 0; reg <= LastRegister && wrong < 5; ++reg) {
        const GridCell cell = cellOfRegister(reg);
        const QString shown = Operator::cellText(window->Grid1, cell.col, cell.row);
        if (shown.isEmpty() || shown == QString::fromStdString(hexWord(RegImage.at(reg)))) continue;
        ++wrong;
        ADD_FAILURE() << "register " << reg << ": image " << RegImage.at(reg) << ", cell \""
                      << shown.toStdString() << "\"";
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
