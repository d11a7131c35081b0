// make soak-flood: a host floods the monitor's port with 2000-byte answers of an unknown
// function while cyclic reading is off, so each one logs an 8000-character dump in the message
// pane and an error line in the error pane. Every 10 s it prints the resident memory and what
// the panes hold. It fails when the resident memory ever passes the budget, or when the panes
// stop taking the newest lines.
//
//   soak_flood [minutes]   (default 8: long enough for both panes to reach their budget)
#include "app/Startup.h"
#include "bench/CyclicReading.h"
#include "shell/LogPane.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/LoopbackDevice.h"
#include "widgets/PanelButton.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono;
using namespace CyclicReading;

const char* const FloodAddress = "127.0.0.253";
constexpr seconds SampleEvery{10};
constexpr long BudgetKiB = 96 * 1024;
// Four times the monitor's poll rate, so a datagram always waits at its socket.
constexpr auto FloodPause = milliseconds(5);

// Transaction 7, function 0x41 (unknown), 1991 bytes of 0xA5 after it: 2000 bytes in all.
std::vector<std::uint8_t> unknownAnswer() {
    std::vector<std::uint8_t> frame(2000, 0xA5);
    const std::uint8_t head[] = {0, 7, 0, 0, 0x07, 0xCA, 1, 0x41};
    std::copy(std::begin(head), std::end(head), frame.begin());
    return frame;
}

// Takes the monitor's read request, then sends the flood back to where it came from.
void flood(LoopbackDevice& device, const std::atomic<bool>& stop) {
    const auto frame = unknownAnswer();
    while (!stop) {
        device.reply(frame);
        std::this_thread::sleep_for(FloodPause);
    }
}

struct PaneFigures {
    int lines = 0;
    long heldKiB = 0;
};

PaneFigures figures(const QPlainTextEdit& pane) {
    const QTextDocument& lines = *pane.document();
    return {lines.blockCount() - 1, static_cast<long>(LogPane::bytesHeld(lines) / 1024)};
}

} // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 8.0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = Startup::startToolkit("UdpRavik");
    DialogRecorder dialogs;
    LoopbackDevice device(FloodAddress);
    Startup::startModules(QString::fromLatin1(FloodAddress));
    auto window = Startup::createMainWindow();
    window->show();
    emit window->Read_once_Panel->clicked();
    if (!device.receive()) {
        std::printf("FAILED: the read request never reached the flooding host\n");
        return 1;
    }
    std::atomic<bool> stop = false;
    std::thread flooder(flood, std::ref(device), std::cref(stop));

    std::printf("%8s %10s %10s %10s %14s %10s %14s\n", "time_s", "rss_KiB", "peak_KiB", "msg_lines",
                "msg_held_KiB", "err_lines", "err_held_KiB");
    const auto start = steady_clock::now();
    const auto end = start + duration_cast<steady_clock::duration>(minutes * 1min);
    long peakKiB = 0;
    while (steady_clock::now() < end) {
        runEventLoop(duration_cast<milliseconds>(SampleEvery));
        const PaneFigures messages = figures(*window->Memo1);
        const PaneFigures errors = figures(*window->Memo2);
        peakKiB = statusKiB("VmHWM");
        std::printf(
            "%8lld %10ld %10ld %10d %14ld %10d %14ld\n",
            static_cast<long long>(duration_cast<seconds>(steady_clock::now() - start).count()),
            statusKiB("VmRSS"), peakKiB, messages.lines, messages.heldKiB, errors.lines,
            errors.heldKiB);
        std::fflush(stdout);
    }
    stop = true;
    flooder.join();

    const QString newestError = window->Memo2->document()->lastBlock().previous().text();
    const bool stillLogging = newestError == QStringLiteral("Unbekannte UDP/Modbus Antwort, FC=65");
    const bool messagesFull = figures(*window->Memo1).heldKiB * 1024 > LogPane::TrimmedBytes;
    window.reset();
    Startup::stopModules();
    std::printf("peak_rss_MiB %.1f (budget %ld)\n", peakKiB / 1024.0, BudgetKiB / 1024);
    std::printf("message pane reached its budget: %s; newest error line as expected: %s\n",
                messagesFull ? "yes" : "no", stillLogging ? "yes" : "no");
    const bool passed = peakKiB < BudgetKiB && stillLogging && dialogs.shown.isEmpty();
    std::printf("%s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
