// Start-up cost: from entering the start-up code to the main window shown (offscreen, in
// process, once: the toolkit starts once per process), the peak memory after it, and the
// repeatable part, creating and showing the main window, as a benchmark.
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
    const auto start = std::chrono::steady_clock::now();
    auto app = Startup::startToolkit("UdpRavik");
    Startup::startModules(QStringLiteral("127.0.0.1"));
    auto window = Startup::createMainWindow();
    showAndSettle(*window);
    const std::chrono::duration<double, std::milli> startUp =
        std::chrono::steady_clock::now() - start;
    benchmark::AddCustomContext("startup_to_window_shown_ms", std::to_string(startUp.count()));
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
