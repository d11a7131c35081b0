// Cyclic reading of the largest range, 0..32000 (321 requests a pass, one per 120 ms tick),
// against a loopback device that answers every request at once: the CPU the monitor spends,
// as a share of one core, over one whole pass. The device's own thread is not counted.
#include "app/Startup.h"
#include "bench/CyclicReading.h"
#include "shell/Dialogs.h"
#include "tests/support/LoopbackDevice.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <thread>

namespace {

using namespace std::chrono;
using namespace CyclicReading;

const char* const DeviceAddress = "127.0.0.253";

microseconds threadCpu() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return seconds(now.tv_sec) + duration_cast<microseconds>(nanoseconds(now.tv_nsec));
}

// Answers each function 3 request with as many registers as it asks for, on a thread of its own.
class Responder {
  public:
    Responder() : thread([this] { serve(); }) {
        while (!ready)
            std::this_thread::sleep_for(milliseconds(1));
    }
    ~Responder() { finish(); }
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;

    void finish() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
    // The CPU its thread used, once finished.
    microseconds cpu() const { return microseconds(cpuUsed.load()); }

  private:
    void serve() {
        LoopbackDevice device(DeviceAddress);
        ready = true;
        while (!stop) {
            const auto request = device.receive(milliseconds(50));
            if (!request || request->size() != 12 || (*request)[7] != 3) continue;
            const int count = (*request)[10] << 8 | (*request)[11];
            std::vector<std::uint8_t> answer(9 + 2 * static_cast<std::size_t>(count), 0x5A);
            std::copy(request->begin(), request->begin() + 8, answer.begin());
            answer[4] = static_cast<std::uint8_t>((3 + 2 * count) >> 8);
            answer[5] = static_cast<std::uint8_t>(3 + 2 * count);
            answer[8] = static_cast<std::uint8_t>(2 * count);
            device.reply(answer);
        }
        cpuUsed = threadCpu().count();
    }

    std::atomic<bool> ready = false;
    std::atomic<bool> stop = false;
    std::atomic<std::int64_t> cpuUsed = 0;
    std::thread thread; // last: it starts once the flags exist
};

void BM_CyclicReadingWholeRange(benchmark::State& state) {
    const seconds span(state.range(0));
    for (auto _ : state) {
        Responder responder;
        enterWholeRange(*Varden);
        const auto cpuStart = processCpu();
        const auto start = steady_clock::now();
        toggleCyclic(*Varden);
        runEventLoop(span);
        const auto wall = duration_cast<microseconds>(steady_clock::now() - start);
        responder.finish();
        const auto cpu = processCpu() - cpuStart - responder.cpu();
        toggleCyclic(*Varden);
        Varden->Timer1->stop();
        state.SetIterationTime(static_cast<double>(wall.count()) / 1e6);
        state.counters["cpu_percent_of_core"] =
            100.0 * static_cast<double>(cpu.count()) / static_cast<double>(wall.count());
        state.counters["peak_rss_MiB"] = static_cast<double>(statusKiB("VmHWM")) / 1024.0;
    }
}
BENCHMARK(BM_CyclicReadingWholeRange)
    ->Arg(39)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = Startup::startToolkit("UdpRavik");
    Dialogs::setResponder([](Dialogs::Request&) { return true; });
    Startup::startModules(QString::fromLatin1(DeviceAddress));
    auto window = Startup::createMainWindow();
    window->show();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window.reset();
    Startup::stopModules();
    return 0;
}
