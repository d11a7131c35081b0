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

// What the monitor shows of each register: the image, and whether its cell was ever filled.
struct ImageModel {
    std::vector<std::uint16_t> values;
    std::vector<bool> shown;
};

struct Expected {
    QStringList messages;
    QStringList errors;
};

QString dump(const Bytes& bytes) {
    QString line = QStringLiteral("Empfangen_1: ");
    for (std::uint8_t byte : bytes)
        line += QStringLiteral("  ") + QString::fromStdString(bytesToHex(std::span(&byte, 1)));
    return line;
}

// The lines a datagram must leave, and what it does to the image (offset 0, cyclic off),
// worked out from the rules of the wire format and of the handlers.
Expected expectedFor(const Bytes& d, ImageModel& image) {
    Expected e;
    const auto size = static_cast<std::int64_t>(d.size());
    if (size > 2000) {
        e.errors << QStringLiteral("..recvFrom: 90=Message too long");
        return e;
    }
    e.messages << QStringLiteral("Received: anz=%1").arg(size);
    if (size < 9) return e;
    e.messages << dump(d);
    const std::uint16_t trId = word(d, 0);
    const int function = d[7];
    const auto wrongLength = [&](std::int64_t rest) {
        e.errors << QStringLiteral("AntwortDaten mit falscher Länge,  rest=%1").arg(rest);
    };
    const auto answerLine = [&](const QString& line) { e.messages << line << QString(); };
    switch (function) {
    case 3: {
        const int count = (static_cast<int>(word(d, 4)) - 3) / 2;
        e.messages << QStringLiteral("anzReg=%1").arg(count);
        if (count > 500) {
            e.errors << QStringLiteral("F3 Antwort mit mehr als 500 Register..wird verworfen");
            break;
        }
        if (const std::int64_t rest = size - 9 - 2 * count; rest != 0) {
            e.errors << QStringLiteral("F3 Antwort mit falscher länge,  rest=%1").arg(rest);
            break;
        }
        for (int i = 0; i < count; ++i) {
            const int reg = trId + i;
            if (reg > LastRegister) {
                e.errors << QStringLiteral(
                    "Receive Exception: CallBack unInitialisiert ? Fehler bei Bereichsprüfung");
                return e;
            }
            image.values[reg] = word(d, static_cast<std::size_t>(9 + 2 * i));
            image.shown[reg] = true;
        }
        answerLine(QStringLiteral("F3 Antwort: tr_id:=%1   Anzahl=%2").arg(trId).arg(count));
        break;
    }
    case 6:
    case 16:
        if (size != 12) {
            wrongLength(size - 12);
        } else if (function == 6) {
            answerLine(QStringLiteral("F6 Antwort: tr_id:=%1   Adr=%2   Wert=%3")
                           .arg(trId)
                           .arg(word(d, 8))
                           .arg(word(d, 10)));
        } else {
            answerLine(QStringLiteral("F16 Antwort: tr_id:=%1   Adr=%2   Anzahl=%3")
                           .arg(trId)
                           .arg(word(d, 8))
                           .arg(word(d, 10)));
        }
        break;
    case 0x83:
    case 0x86:
    case 0x90:
        if (size != 9) {
            wrongLength(size - 9);
        } else {
            const char* name = function == 0x83 ? "F3" : function == 0x86 ? "F6" : "F16";
            e.errors << QStringLiteral("CallBack: %1_Error: tr_id:=%2   errCode=%3")
                            .arg(QLatin1StringView(name))
                            .arg(trId)
                            .arg(d[8]);
        }
        break;
    default:
        e.errors << QStringLiteral("Unbekannte UDP/Modbus Antwort, FC=%1").arg(function);
    }
    return e;
}

// The request of the read pass that the device heard last.
struct Request {
    std::uint16_t address = 0;
    std::uint16_t count = 0;
};

std::uint16_t deviceValue(int address) {
    return static_cast<std::uint16_t>(0x1234 + 7 * address);
}

// The device's answer to a request of the pass.
Bytes goodAnswer(const Request& request) {
    Bytes answer(9 + 2 * static_cast<std::size_t>(request.count));
    FrameCodec::putWord(answer.data(), request.address);
    FrameCodec::putWord(answer.data() + 4, static_cast<std::uint16_t>(3 + 2 * request.count));
    answer[6] = 1;
    answer[7] = 3;
    answer[8] = static_cast<std::uint8_t>(2 * request.count);
    for (int i = 0; i < request.count; ++i)
        FrameCodec::putWord(answer.data() + 9 + 2 * i, deviceValue(request.address + i));
    return answer;
}

struct DatagramClass {
    const char* name;
    int weight;
    // One datagram, or two that wait in the socket together.
    std::function<Datagrams(Rng&, const Request&)> make;
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
         }},
        // The handler raises when the answer runs past register 32000: the client catches it.
        {"ReadAnswerPastTheImage", 4,
         [](Rng& rng, const Request&) {
             const int count = uniform(rng, 1, 500);
             const int trId = uniform(rng, LastRegister + 1 - count + 1, 0xFFFF);
             return Datagrams{readAnswer(rng, static_cast<std::uint16_t>(trId), count)};
         }},
        {"TwoWaiting", 3,
         [](Rng& rng, const Request&) {
             return Datagrams{frame(rng, 12, anyWord(rng), 6, 6),
                              frame(rng, 9, anyWord(rng), 3, 0x86)};
         }},
        {"GoodAnswer", 6,
         [](Rng&, const Request& request) { return Datagrams{goodAnswer(request)}; }},
        {"RandomBytes", 75,
         [](Rng& rng, const Request&) {
             return Datagrams{randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 2100)))};
         }},
    };
    return classes;
}

QStringList linesOf(const QPlainTextEdit* pane) {
    QStringList lines = pane->toPlainText().split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

// The first line where two logs part, cut short for the report.
std::string firstDifference(const QStringList& actual, const QStringList& expected) {
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString a = i < actual.size() ? actual[i] : QStringLiteral("<none>");
        const QString e = i < expected.size() ? expected[i] : QStringLiteral("<none>");
        if (a != e)
            return "line " + std::to_string(i) + ": got \"" + a.left(120).toStdString() +
                   "\", expected \"" + e.left(120).toStdString() + "\"";
    }
    return {};
}

// The monitor in a Read once pass over 0..32000 (offset 0), its client's socket under a few
// thousand datagrams from four loopback senders; PollReceive is driven by hand, and every
// datagram's lines are checked alone.
class MalformedDatagramCampaign : public testing::Test {
  protected:
    MalformedDatagramCampaign()
        : device(DeviceAddress), otherPort(DeviceAddress, 0), otherHost(OtherAddress),
          otherHostAndPort(OtherAddress, 0) {
        Startup::startModules(QString::fromLatin1(DeviceAddress));
        window = Startup::createMainWindow();
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        StartReg = 0;
        EndReg = LastRegister;
        RegOffset = 0;
        for (std::int32_t reg = 0; reg <= LastRegister; ++reg) {
            image.values.push_back(RegImage.at(reg));
            image.shown.push_back(!shownText(reg).isEmpty());
        }
    }
    ~MalformedDatagramCampaign() override {
        window.reset();
        Startup::stopModules();
    }

    QString shownText(std::int32_t reg) const {
        const GridCell cell = cellOfRegister(reg);
        return window->Grid1->cell(cell.col, cell.row);
    }
    int lineCount() const {
        return window->Memo1->document()->blockCount() + window->Memo2->document()->blockCount();
    }
    void clearPanes() {
        window->Memo1->clear();
        window->Memo2->clear();
    }
    // The request the reader has just sent, as the device hears it.
    void hearRequest() {
        const auto heard = device.receive();
        ASSERT_TRUE(heard);
        ASSERT_EQ(heard->size(), 12u);
        request = {word(*heard, 8), word(*heard, 10)};
    }
    void tick() {
        EventGuard::run([this] { window->Timer1Timer(); });
        hearRequest();
    }
    // Polls as the client's timer would until it takes one datagram.
    bool takeOne() {
        const int before = lineCount();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            UdpBus->PollReceive();
            if (lineCount() != before) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return false;
    }
    // Takes one datagram and checks its lines; false when they differ from what is due.
    bool takeAndCheck(const Bytes& datagram, const std::string& label) {
        clearPanes();
        if (!takeOne()) {
            ADD_FAILURE() << label << ": the client took nothing";
            return false;
        }
        const Expected expected = expectedFor(datagram, image);
        const QStringList messages = linesOf(window->Memo1);
        const QStringList errors = linesOf(window->Memo2);
        if (messages == expected.messages && errors == expected.errors) return true;
        ADD_FAILURE() << label << " (" << datagram.size()
                      << " bytes)\n  messages: " << firstDifference(messages, expected.messages)
                      << "\n  errors: " << firstDifference(errors, expected.errors);
        return false;
    }

    DialogRecorder dialogs;
    LoopbackDevice device;
    LoopbackDevice otherPort;
    LoopbackDevice otherHost;
    LoopbackDevice otherHostAndPort;
    LoopbackDevice* const senders[4] = {&device, &otherPort, &otherHost, &otherHostAndPort};
    std::unique_ptr<TVarden> window;
    ImageModel image;
    Request request;
};

TEST_F(MalformedDatagramCampaign, EveryDatagramLeavesItsLinesAndTheImageOnlyWhatAnswersSaid) {
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
            if (!takeAndCheck(datagram, kind.name + (" #" + std::to_string(n)))) ++failures;
        ++sent[kind.name];
    }
    ASSERT_EQ(failures, 0);
    for (const auto& c : classes)
        EXPECT_GE(sent[c.name], 20) << c.name;

    // The pass is still under way, and its next answer is handled as always.
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_TRUE(UdpBus->Timer().isActive());
    tick();
    const Bytes answer = goodAnswer(request);
    device.reply(answer);
    ASSERT_TRUE(takeAndCheck(answer, "the next good answer"));
    EXPECT_EQ(linesOf(window->Memo1).at(3), QStringLiteral("F3 Antwort: tr_id:=%1   Anzahl=%2")
                                                .arg(request.address)
                                                .arg(request.count));

    int wrong = 0;
    for (std::int32_t reg = 0; reg <= LastRegister && wrong < 5; ++reg) {
        const QString due =
            image.shown[reg] ? QString::fromStdString(hexWord(image.values[reg])) : QString();
        if (RegImage.at(reg) == image.values[reg] && shownText(reg) == due) continue;
        ++wrong;
        ADD_FAILURE() << "register " << reg << ": image " << RegImage.at(reg) << ", cell \""
                      << shownText(reg).toStdString() << "\", due " << image.values[reg];
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
