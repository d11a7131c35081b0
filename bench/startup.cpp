// Start-up cost: from entering the start-up code to the main window shown (offscreen, in
// process, once: the toolkit starts once per process), split into its phases, the peak memory
// after it, and the repeatable part, creating and showing the main window, as a benchmark.
#include "app/Startup.h"
#include "app/Varden.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <string>

namespace {

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Adds the time since the previous lap, and the whole time, as custom context figures.
class PhaseClock {
  public:
    void lap(const char* name) {
        const auto now = std::chrono::steady_clock::now();
        add(name, now - last);
        last = now;
    }
    void total(const char* name) { add(name, last - start); }

  private:
    static void add(const char* name, std::chrono::duration<double, std::milli> time) {
        benchmark::AddCustomContext(name, std::to_string(time.count()));
    }
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last = start;
};

void showAndSettle(TVarden& window) {
    window.show();
    QApplication::processEvents();
}

void BM_CreateAndShowMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = Startup::createMainWindow();
        showAndSettle(*window);
    }
}
BENCHMARK(BM_CreateAndShowMainWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PhaseClock clock;
    auto app = Startup::startToolkit("UdpRavik");
    clock.lap("phase_toolkit_ms");
    Startup::startModules(QStringLiteral("127.0.0.1"));
    clock.lap("phase_modules_ms");
    auto window = Startup::createMainWindow();
    clock.lap("phase_window_created_ms");
    showAndSettle(*window);
    clock.lap("phase_window_shown_ms");
    clock.total("startup_to_window_shown_ms");
    benchmark::AddCustomContext("peak_memory_after_startup_MiB",
                                std::to_string(peakMemoryKiB() / 1024.0));
    window.reset();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::AddCustomContext("peak_memory_at_end_MiB", std::to_string(peakMemoryKiB() / 1024.0));
    benchmark::Shutdown();
    Startup::stopModules();
    return 0;
}
