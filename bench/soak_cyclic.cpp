// make soak: the monitor reads registers 0..32000 cyclically from Debian's pymodbus device on
// a loopback address for a number of minutes. Every 30 s it prints its memory and how many
// requests went out and answers came back. It fails when memory grows after the first pass,
// when a request stays unanswered, when a register differs from the device's or when a line
// reaches the error pane.
//
//   soak_cyclic [minutes]   (default 10)
#include "app/Startup.h"
#include "bench/CyclicReading.h"
#include "monitor/AnswerHandlers.h"
#include "monitor/RegisterImage.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/PymodbusDevice.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using namespace std::chrono;
using namespace CyclicReading;

const char* const DeviceAddress = "127.0.0.254";
constexpr seconds SampleEvery{30};
// The first pass takes 321 ticks of 120 ms; memory is judged from the first sample after it.
constexpr seconds FirstPass{39};
// Growth below this is the allocator's page-level noise, not a leak.
constexpr long ToleranceKiB = 256;

long answers = 0;
long requests = 0;

void countingF3Answer(std::uint16_t trId, std::uint16_t count, const TModbusRegArray& values) {
    OnF3Answer(trId, count, values);
    ++answers;
}

// Switches cyclic reading off and lets the pass under way complete.
void stopAndDrain(TVarden& window) {
    if (Cyclic) toggleCyclic(window);
    while (window.Timer1->isActive())
        runEventLoop(std::chrono::milliseconds(100));
    runEventLoop(std::chrono::milliseconds(500)); // the last answers
}

int wrongRegisters() {
    int wrong = 0;
    for (std::int32_t reg = 0; reg <= HighestRegister; ++reg)
        wrong += RegImage.at(reg) != PymodbusDevice::initialValue(static_cast<std::uint16_t>(reg));
    return wrong;
}

// The resident memory sampled every SampleEvery, and the CPU used meanwhile.
struct Run {
    std::vector<long> rssKiB;
    double cpuPercentOfCore = 0;
};

Run readCyclically(TVarden& window, double minutes) {
    Run run;
    const auto start = steady_clock::now();
    const auto cpuStart = processCpu();
    const auto end = start + duration_cast<steady_clock::duration>(minutes * 1min);
    ++requests; // the first request goes out at the click
    toggleCyclic(window);
    std::printf("%8s %10s %10s %9s %9s\n", "time_s", "rss_KiB", "peak_KiB", "requests", "answers");
    for (;;) {
        const auto left = duration_cast<milliseconds>(end - steady_clock::now());
        if (left <= milliseconds(0)) break;
        runEventLoop(std::min(left, duration_cast<milliseconds>(SampleEvery)));
        const auto elapsed = duration_cast<seconds>(steady_clock::now() - start);
        run.rssKiB.push_back(statusKiB("VmRSS"));
        std::printf("%8lld %10ld %10ld %9ld %9ld\n", static_cast<long long>(elapsed.count()),
                    run.rssKiB.back(), statusKiB("VmHWM"), requests, answers);
        std::fflush(stdout);
    }
    const auto wall = duration_cast<microseconds>(steady_clock::now() - start);
    run.cpuPercentOfCore = 100.0 * static_cast<double>((processCpu() - cpuStart).count()) /
                           static_cast<double>(wall.count());
    stopAndDrain(window);
    return run;
}

// The largest rise of the resident memory over the first sample after the first pass, or
// nullopt when the run was too short to follow it with another sample.
std::optional<long> growthAfterFirstPass(const std::vector<long>& rss) {
    const auto baseline = static_cast<std::size_t>(FirstPass / SampleEvery);
    if (rss.size() < baseline + 2) return std::nullopt;
    long growth = 0;
    for (std::size_t i = baseline + 1; i < rss.size(); ++i)
        growth = std::max(growth, rss[i] - rss[baseline]);
    return growth;
}

} // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = Startup::startToolkit("UdpRavik");
    DialogRecorder dialogs;
    PymodbusDevice device(DeviceAddress);
    Startup::startModules(QString::fromLatin1(DeviceAddress));
    auto window = Startup::createMainWindow();
    window->show();
    enterWholeRange(*window);
    UdpBus->SetReadCallback(countingF3Answer);
    QObject::connect(window->Timer1, &QTimer::timeout, [] { ++requests; });

    const Run run = readCyclically(*window, minutes);
    const auto growth = growthAfterFirstPass(run.rssKiB);
    const int errorLines = window->Memo2->document()->blockCount() - 1;
    const int wrong = wrongRegisters();
    const auto boxes = dialogs.shown.size();
    for (const DialogRecorder::Shown& box : dialogs.shown)
        std::printf("box: %s\n", qPrintable(box.text));
    window.reset();
    Startup::stopModules();

    std::printf("cpu_percent_of_core %.2f\n", run.cpuPercentOfCore);
    std::printf("passes %.1f\n", static_cast<double>(requests) / 321.0);
    std::printf("requests %ld answers %ld unanswered %ld\n", requests, answers, requests - answers);
    if (growth)
        std::printf("memory_growth_after_first_pass_KiB %ld\n", *growth);
    else
        std::printf("too short to judge memory: it needs two samples after the first pass\n");
    std::printf("error_lines %d boxes %lld wrong_registers %d\n", errorLines,
                static_cast<long long>(boxes), wrong);
    const bool passed = growth && *growth <= ToleranceKiB && requests == answers &&
                        errorLines == 0 && boxes == 0 && wrong == 0;
    std::printf("%s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
