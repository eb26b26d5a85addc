// What KQ_Tools costs while it sits polling: the real program, on Qt's offscreen platform, against
// a simulated sensor served from this process on a pty, first answering every status poll, then
// silent, then hung up as when the adapter is pulled. Reports the tool's CPU time (user + system,
// every thread) as a share of one core, with the polls the sensor received over each stretch.
// Usage: tool_cpu [SECONDS]   (each stretch; 30 by default)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "tool_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCom = 3;
constexpr double kTargetPercent = 2.0;

// Measures one stretch and prints it; false when the tool went away meanwhile.
bool Measure(const char* what, pid_t tool, const sim::PtyServer& sensor, int seconds) {
    const double cpuBefore = CpuSeconds(tool);
    const std::size_t pollsBefore = StatusPolls(sensor);
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu = CpuSeconds(tool) - cpuBefore;
    const std::size_t polls = StatusPolls(sensor) - pollsBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (!ToolAlive(tool)) {
        std::fprintf(stderr, "tool_cpu: KQ_Tools ended during the measurement\n");
        return false;
    }
    const double percent = 100.0 * cpu / wall;
    std::printf("%-34s %5.2f %% of one core (%.2f s CPU in %.1f s; %zu polls, %.1f per second)%s\n",
                what, percent, cpu, wall, polls, static_cast<double>(polls) / wall,
                percent < kTargetPercent ? "" : "  ABOVE TARGET");
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    return WithPollingTool("tool_cpu", kCom, [seconds](pid_t tool, sim::PtyServer& sensor) {
        std::printf("KQ_Tools CPU use over %d s each, target under %.0f %% of one core\n", seconds,
                    kTargetPercent);
        std::this_thread::sleep_for(std::chrono::seconds(1));  // past the start-up
        const bool healthy = Measure("polling a healthy sensor:", tool, sensor, seconds);
        sensor.SetSilent(true);
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the first timeouts
        const bool silent = healthy && Measure("with the sensor silent:", tool, sensor, seconds);
        // The adapter pulled out: the port hangs up under the tool.
        sensor.HangUp();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return silent && Measure("with the adapter pulled:", tool, sensor, seconds) ? 0 : 1;
    });
}
