// Cyclic reading of the largest range, 0..32000 (321 requests a pass, one per 120 ms tick),
// against a loopback device that answers every request at once: the CPU the monitor spends,
// as a share of one core, over one whole pass. The device's own thread is not counted.
#include "app/Startup.h"
#include "bench/CyclicReading.h"
#include "tests/support/DialogRecorder.h"
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
            device.answer(milliseconds(50));
        }
        cpuUsed = threadCpu().count();
    }

    std::atomic<bool> ready = false;
    std::atomic<bool> stop = false;
    std::atomic<std::int64_t> cpuUsed = 0;
    std::thread thread; // last: it starts once the flags exist
};

TVarden* window = nullptr;

void BM_CyclicReadingWholeRange(benchmark::State& state) {
    const seconds span(state.range(0));
    for (auto _ : state) {
        Responder responder;
        enterWholeRange(*window);
        const auto cpuStart = processCpu();
        const auto start = steady_clock::now();
        toggleCyclic(*window);
        runEventLoop(span);
        const auto wall = duration_cast<microseconds>(steady_clock::now() - start);
        responder.finish();
        const auto cpu = processCpu() - cpuStart - responder.cpu();
        toggleCyclic(*window);
        window->Timer1->stop();
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
    DialogRecorder dialogs; // none is expected; one would be answered, not wait for a person
    Startup::startModules(QString::fromLatin1(DeviceAddress));
    auto mainWindow = Startup::createMainWindow();
    window = mainWindow.get();
    window->show();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    mainWindow.reset();
    Startup::stopModules();
    return 0;
}
