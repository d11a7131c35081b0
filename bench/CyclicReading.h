#pragma once

#include "app/Varden.h"
#include "monitor/MonitorState.h"
#include "widgets/PanelButton.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

// The monitor reading its largest range cyclically, shared by the CPU benchmark and the soak:
// the range entered as an operator does, the event loop run for a while, and the process's
// own figures read from the system.
namespace CyclicReading {

// Registers 0..32000 at device addresses 0..32000: 321 requests a pass.
inline void enterWholeRange(TVarden& window) {
    const auto enter = [](QLineEdit* field, void (TVarden::*handler)(QChar), TVarden& w,
                          const char* text) {
        field->setText(QString::fromLatin1(text));
        (w.*handler)(QChar(13));
    };
    enter(window.Edit4, &TVarden::Edit4KeyPress, window, "0");
    enter(window.Edit1, &TVarden::Edit1KeyPress, window, "0");
    enter(window.Edit3, &TVarden::Edit3KeyPress, window, "32000");
}

// A click on Read cyclic, through the panel's binding.
inline void toggleCyclic(TVarden& window) {
    emit window.Read_cyclic_Panel->clicked();
}

inline void runEventLoop(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

// User and system CPU time of the whole process.
inline std::chrono::microseconds processCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// A field of /proc/self/status in KiB: "VmRSS" now, "VmHWM" the peak.
inline long statusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    long value = 0;
    while (status >> name) {
        if (name == field + ':') {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

} // namespace CyclicReading
