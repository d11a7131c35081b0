#include "app/Startup.h"
#include "app/Varden.h"
#include "modbus/SocketLayer.h"
#include "monitor/AnswerHandlers.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterGrid.h"
#include "monitor/RegisterImage.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/LoopbackDevice.h"
#include "widgets/StringGrid.h"
#include "wire/WireFormat.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const char* const DeviceAddress = "127.0.0.60";

// Two sets of 100 register values, used in turn so that every answer changes every cell.
std::array<TModbusRegArray, 2> answerValues() {
    std::array<TModbusRegArray, 2> values{};
    for (std::size_t i = 0; i < values[0].size(); ++i) {
        values[0][i] = static_cast<std::uint16_t>(i * 257);
        values[1][i] = static_cast<std::uint16_t>(~(i * 257));
    }
    return values;
}

// The datagram of a 100-register answer for registers 1000..1099 (transaction id 0).
std::vector<std::uint8_t> answerFrame(const TModbusRegArray& values) {
    std::vector<std::uint8_t> frame = {0, 0, 0, 0, 0, 203, 1, 3, 200};
    for (std::size_t i = 0; i < 100; ++i) {
        frame.push_back(static_cast<std::uint8_t>(values[i] >> 8));
        frame.push_back(static_cast<std::uint8_t>(values[i] & 0xFF));
    }
    return frame;
}

void fillRegisters(std::int32_t count, std::uint16_t value) {
    const std::vector<std::uint16_t> values(static_cast<std::size_t>(count), value);
    StoreRegisters(0, values);
}

// OnF3Answer as the client calls it: image, cells, one change signal, silent log.
void BM_F3AnswerIntoImageAndGrid(benchmark::State& state) {
    const auto values = answerValues();
    std::size_t turn = 0;
    for (auto _ : state)
        OnF3Answer(0, 100, values[++turn % 2]);
}
BENCHMARK(BM_F3AnswerIntoImageAndGrid);

// Answers sent ahead in one go, so that sending them stays out of the time taken; the client's
// socket buffers them all.
constexpr int AnswersPerRound = 50;

// Each round: AnswersPerRound answers sent to the socket that sent request, then receive() for
// each. Reports the CPU time per answer, the figure the two benchmarks below are compared by.
template <typename Request, typename Receive>
void receiveRounds(benchmark::State& state, Request request, Receive receive) {
    LoopbackDevice device(DeviceAddress);
    request(); // the device learns the socket's address from it
    if (!device.receive()) return state.SkipWithError("no request reached the device");
    const auto values = answerValues();
    const std::array<std::vector<std::uint8_t>, 2> frames = {answerFrame(values[0]),
                                                             answerFrame(values[1])};
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < AnswersPerRound; ++i)
            device.reply(frames[i % 2]);
        state.ResumeTiming();
        for (int i = 0; i < AnswersPerRound; ++i)
            receive();
    }
    state.counters["time_per_answer"] =
        benchmark::Counter(static_cast<double>(state.iterations() * AnswersPerRound),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

double perAnswer(const benchmark::State& state, std::int64_t count) {
    return static_cast<double>(count) / static_cast<double>(state.iterations() * AnswersPerRound);
}

// The floor: the bare receive of the same datagram from a socket made as the client's is.
void BM_BareReceiveOfTheAnswer(benchmark::State& state) {
    const SocketLayer::Handle socket = SocketLayer::openUdpSocket();
    SocketLayer::setNonBlocking(socket);
    const SocketLayer::Endpoint device{*SocketLayer::resolve(DeviceAddress),
                                       WireFormat::ModbusPort};
    const std::array<std::uint8_t, 1> probe{};
    FrameCodec::FrameBuffer buffer{};
    std::int64_t received = 0;
    receiveRounds(
        state, [&] { SocketLayer::sendTo(socket, probe, device); },
        [&] { received += SocketLayer::receiveFrom(socket, buffer) == 209 ? 1 : 0; });
    state.counters["received"] = perAnswer(state, received);
    SocketLayer::closeSocket(socket);
}
BENCHMARK(BM_BareReceiveOfTheAnswer);

// The same answer from the client's socket to image and grid: receive, decode, handler.
void BM_F3AnswerFromSocket(benchmark::State& state) {
    const auto values = answerValues();
    std::size_t turn = 0;
    std::int64_t stored = 0;
    receiveRounds(
        state, [] { UdpBus->Send_F3(0, 0, 100); },
        [&] {
            UdpBus->PollReceive();
            stored += RegImage.at(1099) == values[turn++ % 2][99] ? 1 : 0;
        });
    state.counters["stored"] = perAnswer(state, stored);
}
BENCHMARK(BM_F3AnswerFromSocket);

// Clear Grid over range(0) filled registers: as many as the start range holds, or all.
void BM_ClearGrid(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        fillRegisters(static_cast<std::int32_t>(state.range(0)), 0x1234);
        state.ResumeTiming();
        clearGrid();
    }
}
BENCHMARK(BM_ClearGrid)->Arg(201)->Arg(32001)->Unit(benchmark::kMicrosecond);

// Clear Grid and the repaint of the grid's visible part that it causes.
void BM_ClearGridAndRepaint(benchmark::State& state) {
    QWidget& window = *Varden->Grid1->window();
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        fillRegisters(static_cast<std::int32_t>(state.range(0)), 0x1234);
        Varden->Grid1->viewport()->repaint();
        state.ResumeTiming();
        clearGrid();
        Varden->Grid1->viewport()->repaint();
    }
    window.hide();
}
BENCHMARK(BM_ClearGridAndRepaint)->Arg(201)->Arg(32001)->Unit(benchmark::kMicrosecond);

// The console's table, and then how the answer's way into the grid compares with the bare
// receive of the same datagram, both measured in this run.
class ReceiveRatioReporter : public benchmark::ConsoleReporter {
  public:
    ReceiveRatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (const auto found = run.counters.find("time_per_answer");
                found != run.counters.end())
                timePerAnswer[run.benchmark_name()] = found->second.value;
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto bare = timePerAnswer.find("BM_BareReceiveOfTheAnswer");
        const auto full = timePerAnswer.find("BM_F3AnswerFromSocket");
        if (bare == timePerAnswer.end() || full == timePerAnswer.end()) return;
        std::printf("answer_into_grid_over_bare_receive %.2f (goal 1.2 or less)\n",
                    full->second / bare->second);
    }

  private:
    std::map<std::string, double> timePerAnswer;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = Startup::startToolkit("UdpRavik");
    DialogRecorder dialogs; // none is expected; one would be answered, not wait for a person
    Startup::startModules(QString::fromLatin1(DeviceAddress));
    auto window = Startup::createMainWindow();
    Cyclic = true; // the message pane is silent, as in cyclic reading

    benchmark::Initialize(&argc, argv);
    ReceiveRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    window.reset();
    Startup::stopModules();
    return 0;
}
