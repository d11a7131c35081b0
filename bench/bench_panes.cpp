// The log panes under load: what one line of each kind costs a pane in memory and time, and a
// million lines of the monitor's real mix appended through the log procedures to the window's
// own panes, with the resident memory and the cost per line at the start, middle and end.
#include "app/Startup.h"
#include "app/Varden.h"
#include "bench/CyclicReading.h"
#include "shell/Log.h"
#include "tests/support/DialogRecorder.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The panes are painted about once per poll tick, which logs about six lines. The million
// lines are painted once per ten ticks, so that they take a minute rather than several.
constexpr int LinesPerPaint = 6;
constexpr int TicksPerPaint = 10;

TVarden* mainWindow = nullptr;

QString dumpLine(const char* head, int bytes) {
    return QString::fromLatin1(head) + QStringLiteral("  A5").repeated(bytes);
}

// Small blocks from the heap and large ones mapped apart, such as a pane's whole text.
long heapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks + info.hblkhd);
}

void clearPanes() {
    emit mainWindow->ClrMemoPanel->clicked();
    QApplication::processEvents();
}

void appendPainted(const QString& line, int count) {
    for (int i = 1; i <= count; ++i) {
        LogMsg(line);
        if (i % LinesPerPaint == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
}

// range(0) lines of one kind in the message pane, fewer than its budget holds: heap bytes and
// time per line.
void paneLineCost(benchmark::State& state, const QString& line) {
    const int count = static_cast<int>(state.range(0));
    long bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearPanes();
        const long before = heapBytes();
        state.ResumeTiming();
        appendPainted(line, count);
        state.PauseTiming();
        bytes += heapBytes() - before;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["heap_bytes_per_line"] = benchmark::Counter(
        static_cast<double>(bytes) / static_cast<double>(state.iterations() * count));
}
BENCHMARK_CAPTURE(paneLineCost, short_line, QStringLiteral("Received: anz=209"))
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paneLineCost, dump_600_chars, dumpLine("Empfangen_1: ", 147))
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paneLineCost, line_8000_chars, dumpLine("Empfangen_1: ", 2000))
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

// One poll tick's worth of lines as the monitor writes them while reading once: a request, the
// answer's dump, the answer lines; every tenth tick also a 2000-byte answer of unknown function.
void logTick(bool unknownAnswer) {
    static const QString send = dumpLine("Send F3: ", 12);
    static const QString dump = dumpLine("Empfangen_1: ", 209);
    static const QString longDump = dumpLine("Empfangen_1: ", 2000);
    LogMsg(send);
    LogMsg(QStringLiteral("Received: anz=209"));
    LogMsg(dump);
    LogMsg(QStringLiteral("anzReg=100"));
    LogMsg(QStringLiteral("F3 Antwort: tr_id:=1000   Anzahl=100"));
    LogMsg(QString());
    if (!unknownAnswer) return;
    LogMsg(QStringLiteral("Received: anz=2000"));
    LogMsg(longDump);
    LogError(QStringLiteral("Unbekannte UDP/Modbus Antwort, FC=165"));
}

void BM_MillionLinesOfTheRealMix(benchmark::State& state) {
    constexpr long Total = 1000000;
    constexpr long Window = 10000; // lines timed at the start, middle and end
    const long marks[] = {0, Total / 2 - Window / 2, Total - Window};
    std::vector<double> microsPerLine;
    for (auto _ : state) {
        clearPanes();
        long written = 0;
        long tick = 0;
        Clock::time_point windowStart;
        long windowFirst = -1;
        while (written < Total) {
            if (windowFirst < 0 && microsPerLine.size() < std::size(marks) &&
                written >= marks[microsPerLine.size()]) {
                windowFirst = written;
                windowStart = Clock::now();
            }
            const bool unknownAnswer = ++tick % 10 == 0;
            logTick(unknownAnswer);
            written += unknownAnswer ? 9 : 6;
            if (tick % TicksPerPaint == 0) QApplication::processEvents();
            if (windowFirst >= 0 && written - windowFirst >= Window) {
                const std::chrono::duration<double, std::micro> spent = Clock::now() - windowStart;
                microsPerLine.push_back(spent.count() / static_cast<double>(written - windowFirst));
                windowFirst = -1;
            }
        }
    }
    state.counters["us_per_line_start"] = microsPerLine.at(0);
    state.counters["us_per_line_middle"] = microsPerLine.at(1);
    state.counters["us_per_line_end"] = microsPerLine.at(2);
    state.counters["rss_MiB"] = CyclicReading::statusKiB("VmRSS") / 1024.0;
    state.counters["peak_rss_MiB"] = CyclicReading::statusKiB("VmHWM") / 1024.0;
    state.counters["message_lines_kept"] = mainWindow->Memo1->document()->blockCount();
    state.counters["message_chars_kept"] = mainWindow->Memo1->document()->characterCount();
}
BENCHMARK(BM_MillionLinesOfTheRealMix)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = Startup::startToolkit("UdpRavik");
    DialogRecorder dialogs; // none is expected; one would be answered, not wait for a person
    Startup::startModules(QStringLiteral("127.0.0.61"));
    auto window = Startup::createMainWindow();
    window->show();
    QApplication::processEvents();
    mainWindow = window.get();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window.reset();
    Startup::stopModules();
    return 0;
}
