// One status poll through libzeko and through a pyserial script, against the same simulated
// sensor in one run, in alternating batches so that both meet the same machine load: medians,
// p99s and their ratio (libzeko / pyserial; at most 1.0 is the target).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pty_server.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 3;
constexpr int kBatches = 5;
constexpr int kPollsPerBatch = 400;
constexpr int kWarmUpPolls = 50;

struct Spread {
    double median;
    double p99;
};

Spread SpreadOf(std::vector<double> microseconds) {
    std::sort(microseconds.begin(), microseconds.end());
    return {microseconds[microseconds.size() / 2], microseconds[microseconds.size() * 99 / 100]};
}

bool PollThroughLibzeko(int polls, std::vector<double>* microseconds) {
    if (ZEKO_initial(kCom, sensor::kIdentity, sensor::kBaudRate) != ZEKO_OK) return false;
    unsigned char status[sensor::kStatusBlockLength];
    const auto poll = [&status] {
        return ZEKO_super_command(sensor::kBlockStatus, 0, sensor::kStatusBlockLength, nullptr,
                                  status);
    };
    for (int i = 0; i < kWarmUpPolls; ++i) poll();
    for (int i = 0; i < polls; ++i) {
        const auto start = Clock::now();
        if (poll() != ZEKO_OK) return false;
        microseconds->push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return ZEKO_close() == ZEKO_OK;
}

// Debian's python3 with its python3-serial, whatever python3 comes first on the PATH.
bool PollThroughPyserial(const std::string& device, int polls, std::vector<double>* microseconds) {
    const std::string command = std::string("/usr/bin/python3 ") + KQ_PYSERIAL_SCRIPT + " " +
                                device + " " + std::to_string(kWarmUpPolls + polls);
    FILE* script = popen(command.c_str(), "r");
    if (script == nullptr) return false;
    double value = 0;
    for (int line = 0; std::fscanf(script, "%lf", &value) == 1; ++line) {
        if (line >= kWarmUpPolls) microseconds->push_back(value);
    }
    return pclose(script) == 0;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/kq-bench-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    setenv("KQ_PORTS_DIR", dir.c_str(), 1);
    int failed = 0;
    {
        sim::PtyServer sensor(dir, kCom);
        const std::string device = (dir / ("COM" + std::to_string(kCom))).string();
        std::vector<double> libzeko;
        std::vector<double> pyserial;
        for (int batch = 0; batch < kBatches && failed == 0; ++batch) {
            if (!PollThroughLibzeko(kPollsPerBatch, &libzeko)) failed = 1;
            if (!PollThroughPyserial(device, kPollsPerBatch, &pyserial)) failed = 2;
        }
        if (failed == 0) {
            const Spread zeko = SpreadOf(libzeko);
            const Spread python = SpreadOf(pyserial);
            std::printf("status poll over a pty, %zu polls each\n", libzeko.size());
            std::printf("  libzeko   median %7.1f us   p99 %7.1f us\n", zeko.median, zeko.p99);
            std::printf("  pyserial  median %7.1f us   p99 %7.1f us\n", python.median, python.p99);
            std::printf("  ratio (libzeko / pyserial): median %.2f   p99 %.2f   (target <= 1.0)\n",
                        zeko.median / python.median, zeko.p99 / python.p99);
        }
    }
    std::filesystem::remove_all(dir);
    if (failed != 0) {
        std::fprintf(stderr, "status poll bench: the %s polls failed\n",
                     failed == 1 ? "libzeko" : "pyserial");
    }
    return failed;
}
