// The clock the history export names its files by. Tests set a clock of their own.
#pragma once

#include <ctime>
#include <functional>

// Seconds since the epoch, as time() gives them.
using ExportClock = std::function<std::time_t()>;

// Replaces the clock and returns the one before; an empty clock is the system's.
ExportClock SetExportClock(ExportClock clock);

// The clock's time now.
std::time_t ExportTime();
