#pragma once

#include "tools/device/Options.h"

// Listens as the options say and answers requests until a stop is requested (StopSignals.h).
// Returns the program's exit code: 0 after a stop, 1 when the device cannot listen or wait.
int runDevice(const Options& options);
