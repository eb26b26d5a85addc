// One status poll through libzeko, through a minimal C client (tcflush, write, poll, read) and
// through a pyserial script, against the same simulated sensor in one run, in alternating batches
// so that all three meet the same machine load: medians, p99s, the calling thread's CPU per poll
// and the ratios of libzeko to the others (targets: at most 1.2 times the C client, at most
// pyserial).
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
constexpr int kBatches = 5;
constexpr int kPollsPerBatch = 400;
constexpr int kWarmUpPolls = 50;
constexpr int kReplyTimeoutMs = 1000;

struct Samples {
    std::vector<double> microseconds;
    double cpuMicroseconds = 0;  // the calling thread's, over the timed polls
};

struct Spread {
    double median;
    double p99;
    double cpuPerPoll;
};

Spread SpreadOf(Samples samples) {
    std::vector<double>& us = samples.microseconds;
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100],
            samples.cpuMicroseconds / static_cast<double>(us.size())};
}

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Times `polls` calls of poll() after a warm-up; false as soon as one fails.
template <typename Poll>
bool TimePolls(int polls, Poll poll, Samples* samples) {
    for (int i = 0; i < kWarmUpPolls; ++i) poll();
    const double cpuBefore = ThreadCpuMicroseconds();
    for (int i = 0; i < polls; ++i) {
        const auto start = Clock::now();
        if (!poll()) return false;
        samples->microseconds.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    samples->cpuMicroseconds += ThreadCpuMicroseconds() - cpuBefore;
    return true;
}

bool PollThroughLibzeko(int polls, Samples* samples) {
    if (ZEKO_initial(kCom, sensor::kIdentity, sensor::kBaudRate) != ZEKO_OK) return false;
    unsigned char status[sensor::kStatusBlockLength];
    const bool polled = TimePolls(
        polls,
        [&status] {
            return ZEKO_super_command(sensor::kBlockStatus, 0, sensor::kStatusBlockLength, nullptr,
                                      status) == ZEKO_OK;
        },
        samples);
    return ZEKO_close() == ZEKO_OK && polled;
}

bool PollThroughMinimalClient(const std::string& device, int polls, Samples* samples) {
    const int fd = minimal_open(device.c_str(), B115200);
    if (fd < 0) return false;
    const bool polled = TimePolls(
        polls, [fd] { return minimal_status_poll(fd, kReplyTimeoutMs) == 0; }, samples);
    minimal_close(fd);
    return polled;
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
    if (withCpu) std::printf("   thread CPU %5.1f us/poll", spread.cpuPerPoll);
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
            if (!PollThroughLibzeko(kPollsPerBatch, &libzeko)) failed = "libzeko";
            if (!PollThroughMinimalClient(device, kPollsPerBatch, &minimal)) failed = "C client";
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
