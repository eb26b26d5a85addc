// What KQ_Tools costs while it sits polling: the real program, on Qt's offscreen platform, against
// a simulated sensor served from this process on a pty, first answering every status poll, then
// silent. Reports the tool's CPU time (user + system, every thread, from /proc/<pid>/stat) as a
// share of one core, with the polls the sensor received over the same stretch.
// Usage: tool_cpu [SECONDS]   (each stretch; 30 by default)
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pty_server.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kCom = 3;
constexpr double kTargetPercent = 2.0;
const std::vector<std::uint8_t> kStatusRequest = {0x03, 0x03, 0x10, 0x0A};

// User plus system time of process `pid` so far, in seconds.
double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(stat)), {});
    // The command name may hold blanks; the fields counted here follow its closing parenthesis.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int number = 3; fields >> field; ++number) {
        if (number == 14) {
            utime = std::stol(field);
        } else if (number == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::size_t StatusPolls(const sim::PtyServer& sensor) {
    const auto requests = sensor.Requests();
    return static_cast<std::size_t>(std::count_if(
        requests.begin(), requests.end(),
        [](const sim::Received& request) { return request.bytes == kStatusRequest; }));
}

pid_t StartTool(const std::filesystem::path& portsDir) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KQ_PORTS_DIR", portsDir.c_str(), 1);
    char program[] = KQ_TOOL_PATH;
    char* argv[] = {program, nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    return pid;
}

// Reaps the tool once it has ended; from then on the answer stays false.
bool ToolAlive(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

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

    char pattern[] = "/tmp/kq-tool-cpu-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("tool_cpu: mkdtemp");
        return 1;
    }
    const std::filesystem::path portsDir = pattern;
    int status = 1;
    {
        sim::PtyServer sensor(portsDir, kCom);
        const pid_t tool = StartTool(portsDir);
        if (tool < 0) {
            std::fprintf(stderr, "tool_cpu: cannot start %s\n", KQ_TOOL_PATH);
        } else {
            // Polling has begun once the first status request arrives after the scan.
            const auto deadline = Clock::now() + std::chrono::seconds(30);
            while (StatusPolls(sensor) == 0 && Clock::now() < deadline && ToolAlive(tool)) {
                std::this_thread::sleep_for(milliseconds(100));
            }
            if (StatusPolls(sensor) == 0) {
                std::fprintf(stderr, "tool_cpu: KQ_Tools never polled the sensor on COM%d\n", kCom);
            } else {
                std::printf("KQ_Tools CPU use over %d s each, target under %.0f %% of one core\n",
                            seconds, kTargetPercent);
                std::this_thread::sleep_for(std::chrono::seconds(1));  // past the start-up
                const bool healthy = Measure("polling a healthy sensor:", tool, sensor, seconds);
                sensor.SetSilent(true);
                std::this_thread::sleep_for(std::chrono::seconds(1));  // the first timeouts
                if (healthy && Measure("with the sensor silent:", tool, sensor, seconds)) {
                    status = 0;
                }
            }
            if (ToolAlive(tool)) {
                kill(tool, SIGTERM);
                waitpid(tool, nullptr, 0);
            }
        }
    }
    std::filesystem::remove_all(portsDir);
    return status;
}
