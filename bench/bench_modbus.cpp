#include "modbus/UDP_Modbus.h"
#include "shell/Log.h"
#include "tests/support/LoopbackDevice.h"
#include "wire/FrameCodec.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The message pane is silent as in cyclic reading.
const bool cyclic = true;

std::size_t answersHandled = 0;

void onRead(std::uint16_t, std::uint16_t count, const TModbusRegArray& registers) {
    benchmark::DoNotOptimize(registers[count - 1]);
    ++answersHandled;
}

// A function 3 answer with 100 registers, as the block reader asks for them.
std::vector<std::uint8_t> readAnswer100() {
    std::vector<std::uint8_t> frame(209, 0);
    FrameCodec::putWord(frame.data(), 24);
    FrameCodec::putWord(frame.data() + 4, 203);
    frame[6] = 1;
    frame[7] = 3;
    frame[8] = 200;
    for (std::size_t i = 0; i < 100; ++i)
        FrameCodec::putWord(frame.data() + 9 + 2 * i, static_cast<std::uint16_t>(i * 257));
    return frame;
}

void BM_BuildF3(benchmark::State& state) {
    FrameCodec::FrameBuffer buffer{};
    std::uint16_t trId = 0;
    for (auto _ : state) {
        ++trId;
        benchmark::DoNotOptimize(FrameCodec::buildF3(buffer, trId, trId, 100));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildF3);

void BM_BuildF16Of100(benchmark::State& state) {
    FrameCodec::FrameBuffer buffer{};
    FrameCodec::RegisterArray values{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(FrameCodec::buildF16(buffer, 55, 1000, 100, values));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildF16Of100);

void BM_ClassifyAndDecodeRead100(benchmark::State& state) {
    const auto datagram = readAnswer100();
    FrameCodec::RegisterArray registers{};
    for (auto _ : state) {
        const FrameCodec::Answer answer = FrameCodec::classify(datagram);
        FrameCodec::decodeRegisters(datagram, answer, registers);
        benchmark::DoNotOptimize(registers);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * datagram.size()));
}
BENCHMARK(BM_ClassifyAndDecodeRead100);

void BM_ClassifyException(benchmark::State& state) {
    const std::vector<std::uint8_t> datagram{0, 5, 0, 0, 0, 3, 1, 0x83, 2};
    for (auto _ : state)
        benchmark::DoNotOptimize(FrameCodec::classify(datagram));
}
BENCHMARK(BM_ClassifyException);

// One PollReceive that takes a 100-register answer from the socket to the read callback.
void BM_PollReceiveRead100(benchmark::State& state) {
    LoopbackDevice device("127.0.0.38");
    TUDP_ModBus client(QStringLiteral("127.0.0.38"));
    client.SetReadCallback(onRead);
    client.Send_F3(24, 24, 100);
    if (!device.receive()) return state.SkipWithError("no request reached the device");
    const auto answer = readAnswer100();
    answersHandled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        device.reply(answer);
        state.ResumeTiming();
        client.PollReceive();
    }
    state.counters["handled"] = benchmark::Counter(static_cast<double>(answersHandled) /
                                                   static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PollReceiveRead100);

// The same answer from the received datagram on: classification, dump text, callback.
void BM_HandleDatagramRead100(benchmark::State& state) {
    TUDP_ModBus client(QStringLiteral("127.0.0.38"));
    client.SetReadCallback(onRead);
    const auto answer = readAnswer100();
    for (auto _ : state)
        client.handleDatagram(answer);
}
BENCHMARK(BM_HandleDatagramRead100);

// A tick with nothing waiting: one receive that finds no datagram, and no log line.
void BM_IdleTick(benchmark::State& state) {
    TUDP_ModBus client(QStringLiteral("127.0.0.38"));
    for (auto _ : state)
        client.PollReceive();
}
BENCHMARK(BM_IdleTick);

} // namespace

int main(int argc, char** argv) {
    static char name[] = "bench_modbus";
    static char* arguments[] = {name, nullptr};
    int count = 1;
    QCoreApplication app(count, arguments);
    Log::bindSilencer(&cyclic);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
