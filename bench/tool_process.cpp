#include "tool_process.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

const std::vector<std::uint8_t> kStatusRequest = {0x03, 0x03, 0x10, 0x0A};

std::string ReadProcFile(pid_t pid, const char* name) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/" + name);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

}  // namespace

pid_t StartTool(const std::filesystem::path& portsDir) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KQ_PORTS_DIR", portsDir.c_str(), 1);
    char program[] = KQ_TOOL_PATH;
    char* argv[] = {program, nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) return -1;
    return pid;
}

bool ToolAlive(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

void StopTool(pid_t pid) {
    if (ToolAlive(pid)) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

bool WaitForPolling(pid_t pid, const sim::PtyServer& sensor) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (StatusPolls(sensor) == 0 && std::chrono::steady_clock::now() < deadline &&
           ToolAlive(pid)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return StatusPolls(sensor) > 0;
}

double CpuSeconds(pid_t pid) {
    const std::string line = ReadProcFile(pid, "stat");
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

long ResidentKiB(pid_t pid) {
    std::istringstream status(ReadProcFile(pid, "status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

std::size_t StatusPolls(const sim::PtyServer& sensor) {
    const auto requests = sensor.Requests();
    return static_cast<std::size_t>(std::count_if(
        requests.begin(), requests.end(),
        [](const sim::Received& request) { return request.bytes == kStatusRequest; }));
}

int WithPollingTool(const char* program, int com,
                    const std::function<int(pid_t tool, sim::PtyServer& sensor)>& measure) {
    std::string pattern = std::string("/tmp/kq-") + program + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror((std::string(program) + ": mkdtemp").c_str());
        return 1;
    }
    const std::filesystem::path portsDir = pattern;
    int status = 1;
    {
        sim::PtyServer sensor(portsDir, com);
        const pid_t tool = StartTool(portsDir);
        if (tool < 0) {
            std::fprintf(stderr, "%s: cannot start KQ_Tools\n", program);
        } else {
            if (!WaitForPolling(tool, sensor)) {
                std::fprintf(stderr, "%s: KQ_Tools never polled the sensor on COM%d\n", program,
                             com);
            } else {
                status = measure(tool, sensor);
            }
            StopTool(tool);
        }
    }
    std::filesystem::remove_all(portsDir);
    return status;
}
