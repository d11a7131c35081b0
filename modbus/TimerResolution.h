#pragma once

// The system timer's resolution of 1 ms for the whole run: begin() at the module's start,
// end() at its stop. Only Windows needs it; elsewhere Qt's precise timers suffice.
namespace TimerResolution {
void begin();
void end();
} // namespace TimerResolution
