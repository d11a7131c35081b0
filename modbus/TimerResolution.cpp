#include "modbus/TimerResolution.h"

#ifdef _WIN32
#include <windows.h>

#include <timeapi.h>

namespace TimerResolution {
void begin() {
    timeBeginPeriod(1);
}
void end() {
    timeEndPeriod(1);
}
} // namespace TimerResolution
#else
namespace TimerResolution {
void begin() {}
void end() {}
} // namespace TimerResolution
#endif
