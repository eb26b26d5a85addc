#include "export_clock.h"

#include <utility>

namespace {

ExportClock& Clock() {
    static ExportClock clock;
    return clock;
}

}  // namespace

ExportClock SetExportClock(ExportClock clock) { return std::exchange(Clock(), std::move(clock)); }

std::time_t ExportTime() { return Clock() ? Clock()() : std::time(nullptr); }
