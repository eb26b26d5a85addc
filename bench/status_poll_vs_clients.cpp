// One status poll through libzeko, through a minimal C client (tcflush, write, poll, read) and
// through a pyserial script, against the same simulated sensor in one run: libzeko and the client
// poll in turn, pyserial in batches between theirs, so that all three meet the same machine load.
// Prints medians, p99s, the median of the calling thread's CPU per poll and the ratios of libzeko
// to the others (targets: at most 1.2 times the C client, at most pyserial).
#include <stdlib.h>
#include <termios.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "minimal_status_poll.h"
#include "pty_server.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 3;
constexpr int kBatches = 20;
constexpr int kPollsPerBatch = 100;
constexpr int kWarmUpPolls = 20;
constexpr int kReplyTimeoutMs = 1000;

struct Samples {
    std::vector<double> microseconds;
    std::vector<double> cpuMicroseconds;  // the calling thread's, per poll
};

struct Spread {
    double median;
    double p99;
    double cpuMedian;
};

Spread SpreadOf(Samples samples) {
    std::vector<double>& us = samples.microseconds;
    std::vector<double>& cpu = samples.cpuMicroseconds;
    std::sort(us.begin(), us.end());
    std::sort(cpu.begin(), cpu.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100], cpu.empty() ? 0 : cpu[cpu.size() / 2]};
}

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Times one call of poll() into samples; false when it failed.
template <typename Poll>
bool TimePoll(Poll poll, Samples* samples) {
    const double cpuBefore = ThreadCpuMicroseconds();
    const auto start = Clock::now();
    const bool polled = poll();
    const auto end = Clock::now();
    samples->cpuMicroseconds.push_back(ThreadCpuMicroseconds() - cpuBefore);
    samples->microseconds.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    return polled;
}

// libzeko and the C client on the same tty, one poll each in turn (which goes first alternates),
// so that the pairs meet the same load however it changes. The client opens first: libzeko then
// holds the tty exclusively against later opens, not against this one.
bool PollInPairs(const std::string& device, int pairs, Samples* libzeko, Samples* minimal) {
    const int fd = minimal_open(device.c_str(), B115200);
    if (fd < 0) return false;
    if (ZEKO_initial(kCom, sensor::kIdentity, sensor::kBaudRate) != ZEKO_OK) {
        minimal_close(fd);
        return false;
    }
    unsigned char status[sensor::kStatusBlockLength];
    const auto zekoPoll = [&status] {
        return ZEKO_super_command(sensor::kBlockStatus, 0, sensor::kStatusBlockLength, nullptr,
                                  status) == ZEKO_OK;
    };
    const auto minimalPoll = [fd] { return minimal_status_poll(fd, kReplyTimeoutMs) == 0; };
    bool polled = true;
    for (int i = 0; i < kWarmUpPolls; ++i) polled = zekoPoll() && minimalPoll() && polled;
    for (int i = 0; i < pairs && polled; ++i) {
        polled = i % 2 == 0 ? TimePoll(zekoPoll, libzeko) && TimePoll(minimalPoll, minimal)
                            : TimePoll(minimalPoll, minimal) && TimePoll(zekoPoll, libzeko);
    }
    minimal_close(fd);
    return ZEKO_close() == ZEKO_OK && polled;
}

// Debian's python3 with its python3-serial, whatever python3 comes first on the PATH. The
// script times itself; its CPU is not the calling thread's, so none is counted.
bool PollThroughPyserial(const std::string& device, int polls, Samples* samples) {
    const std::string command = std::string("/usr/bin/python3 ") + KQ_PYSERIAL_SCRIPT + " " +
                                device + " " + std::to_string(kWarmUpPolls + polls);
    FILE* script = popen(command.c_str(), "r");
    if (script == nullptr) return false;
    double value = 0;
    for (int line = 0; std::fscanf(script, "%lf", &value) == 1; ++line) {
        if (line >= kWarmUpPolls) samples->microseconds.push_back(value);
    }
    return pclose(script) == 0;
}

void PrintSpread(const char* name, const Spread& spread, bool withCpu) {
    std::printf("  %-9s median %7.1f us   p99 %7.1f us", name, spread.median, spread.p99);
    if (withCpu) std::printf("   thread CPU median %5.1f us", spread.cpuMedian);
    std::printf("\n");
}

}  // namespace

int main() {
    char pattern[] = "/tmp/kq-bench-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    setenv("KQ_PORTS_DIR", dir.c_str(), 1);
    const char* failed = nullptr;
    {
        sim::PtyServer sensor(dir, kCom);
        const std::string device = (dir / ("COM" + std::to_string(kCom))).string();
        Samples libzeko;
        Samples minimal;
        Samples pyserial;
        for (int batch = 0; batch < kBatches && failed == nullptr; ++batch) {
            if (!PollInPairs(device, kPollsPerBatch, &libzeko, &minimal)) {
                failed = "libzeko and C client";
            }
            if (!PollThroughPyserial(device, kPollsPerBatch, &pyserial)) failed = "pyserial";
        }
        if (failed == nullptr) {
            const Spread zeko = SpreadOf(libzeko);
            const Spread c = SpreadOf(minimal);
            const Spread python = SpreadOf(pyserial);
            std::printf("status poll over a pty, %zu polls each\n", libzeko.microseconds.size());
            PrintSpread("libzeko", zeko, true);
            PrintSpread("C client", c, true);
            PrintSpread("pyserial", python, false);
            std::printf("  ratio libzeko / C client: median %.2f   p99 %.2f   (target <= 1.2)\n",
                        zeko.median / c.median, zeko.p99 / c.p99);
            std::printf("  ratio libzeko / pyserial: median %.2f   p99 %.2f   (target <= 1.0)\n",
                        zeko.median / python.median, zeko.p99 / python.p99);
        }
    }
    std::filesystem::remove_all(dir);
    if (failed != nullptr) std::fprintf(stderr, "status poll bench: the %s polls failed\n", failed);
    return failed != nullptr ? 1 : 0;
}
