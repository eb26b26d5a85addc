// Endurance: the real KQ_Tools polling a simulated sensor at 10 Hz for a long stretch, with an
// alarm raised and cleared every few seconds so the lamps and the record count keep changing.
// Prints the tool's resident memory at the start, every minute and at the end, and the CPU used.
// Usage: tool_endurance [SECONDS]   (600 by default)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "tool_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCom = 3;
constexpr auto kReportEvery = std::chrono::seconds(60);
constexpr auto kAlarmEvery = std::chrono::seconds(5);

void Report(const char* when, pid_t tool, const sim::PtyServer& sensor, double seconds) {
    std::printf("%-6s %7.0f s  resident %7ld KiB  CPU %7.2f s  polls %zu\n", when, seconds,
                ResidentKiB(tool), CpuSeconds(tool), StatusPolls(sensor));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    return WithPollingTool("tool_endurance", kCom, [seconds](pid_t tool, sim::PtyServer& sensor) {
        const double cpuStart = CpuSeconds(tool);
        const long residentStart = ResidentKiB(tool);
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds(seconds);
        auto nextReport = start + kReportEvery;
        bool alarm = false;
        Report("start", tool, sensor, 0);
        while (Clock::now() < end && ToolAlive(tool)) {
            std::this_thread::sleep_for(kAlarmEvery);
            alarm = !alarm;
            sensor.WithModel([alarm](sim::SensorModel& model) {
                if (alarm) {
                    model.RaiseAlarm(sim::Alarm::Vibration);
                } else {
                    model.ClearAlarms();
                }
            });
            if (Clock::now() >= nextReport) {
                Report("", tool, sensor,
                       std::chrono::duration<double>(Clock::now() - start).count());
                nextReport += kReportEvery;
            }
        }
        if (ToolAlive(tool)) {
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            Report("end", tool, sensor, wall);
            const double cpu = CpuSeconds(tool) - cpuStart;
            std::printf(
                "resident %ld KiB -> %ld KiB (%+ld KiB); CPU %.2f s in %.0f s, %.2f %% "
                "of one core\n",
                residentStart, ResidentKiB(tool), ResidentKiB(tool) - residentStart, cpu, wall,
                100.0 * cpu / wall);
            return 0;
        }
        std::fprintf(stderr, "tool_endurance: KQ_Tools ended during the run\n");
        return 1;
    });
}
