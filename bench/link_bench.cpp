// Round trips over a pty against the simulated sensor, what a silent sensor costs, and the scan.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "comm_port.h"
#include "os/platform.h"
#include "pty_server.h"
#include "sensor_contract.h"
#include "zeko_api.h"
#include "zeko_scan.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 3;

// One ports folder and one sensor for the whole run; the link connects once.
class Bench {
public:
    static Bench& Get() {
        static Bench bench;
        return bench;
    }
    sim::PtyServer& Sensor() { return *m_sensor; }

private:
    Bench() {
        char pattern[] = "/tmp/kq-bench-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("KQ_PORTS_DIR", m_dir.c_str(), 1);
        m_sensor = std::make_unique<sim::PtyServer>(m_dir, kCom);
        m_connected = ZEKO_initial(kCom, sensor::kIdentity, sensor::kBaudRate) == 0;
    }
    ~Bench() {
        m_sensor.reset();
        std::filesystem::remove_all(m_dir);
    }

    std::filesystem::path m_dir;
    std::unique_ptr<sim::PtyServer> m_sensor;

public:
    bool m_connected = false;
};

void ReportSpread(benchmark::State& state, std::vector<double>& microseconds) {
    if (microseconds.empty()) return;
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["median_us"] = microseconds[microseconds.size() / 2];
    state.counters["p99_us"] = microseconds[(microseconds.size() * 99) / 100];
}

template <typename Exchange>
void TimeRoundTrips(benchmark::State& state, Exchange exchange) {
    if (!Bench::Get().m_connected) {
        state.SkipWithError("no simulated sensor");
        return;
    }
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        const int result = exchange();
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (result != 0) state.SkipWithError("exchange failed");
    }
    ReportSpread(state, samples);
}

void ParameterRoundTrip(benchmark::State& state) {
    TimeRoundTrips(state, [] {
        long value = 0;
        return ZEKO_get(11, &value);
    });
}
BENCHMARK(ParameterRoundTrip)->Iterations(500)->Unit(benchmark::kMicrosecond);

void StatusBlockRoundTrip(benchmark::State& state) {
    TimeRoundTrips(state, [] {
        unsigned char status[sensor::kStatusBlockLength];
        return ZEKO_super_command(sensor::kBlockStatus, 0, sensor::kStatusBlockLength, nullptr,
                                  status);
    });
}
BENCHMARK(StatusBlockRoundTrip)->Iterations(500)->Unit(benchmark::kMicrosecond);

double CpuMilliseconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
           usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
}

double ProcessCpuMilliseconds() { return CpuMilliseconds(RUSAGE_SELF); }

// The CPU the whole process (the waiting caller and the sensor's thread) spends while one
// exchange waits out a 1000 ms reply timeout: it should sleep, not spin.
void SilentSensorTimeout(benchmark::State& state) {
    Bench::Get().Sensor().SetSilent(true);
    CCommPort port;
    sim::PtyServer silent(std::getenv("KQ_PORTS_DIR"), kCom + 1);
    silent.SetSilent(true);
    port.Open(kCom + 1, sensor::kBaudRate, 'N', 8, 1, EV_RXCHAR | EV_RXFLAG, 512);
    port.SetReplyTimeout(1000);
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuMilliseconds();
        port.SetTerminatorMode();
        port.ExchangeText("P8;");
        cpu += ProcessCpuMilliseconds() - before;
    }
    state.counters["cpu_ms_per_timeout"] = cpu / static_cast<double>(state.iterations());
    Bench::Get().Sensor().SetSilent(false);
}
BENCHMARK(SilentSensorTimeout)->Iterations(5)->Unit(benchmark::kMillisecond);

// The scan of sixteen ports at once, fifteen silent and the sensor on the last, as a laptop's
// Bluetooth ports ahead of a USB adapter: its wall time (one port after another took about 60 s)
// and the CPU the process spends in it.
void ScanBehindSilentPorts(benchmark::State& state) {
    Bench::Get();
    constexpr int kFirst = kCom + 2;
    constexpr int kPorts = 16;
    std::vector<std::unique_ptr<sim::PtyServer>> devices;
    std::vector<int> ports;
    for (int com = kFirst; com < kFirst + kPorts; ++com) {
        devices.push_back(std::make_unique<sim::PtyServer>(std::getenv("KQ_PORTS_DIR"), com));
        devices.back()->SetSilent(com != kFirst + kPorts - 1);
        ports.push_back(com);
    }
    double cpu = 0;
    for (auto _ : state) {
        const double before = ProcessCpuMilliseconds();
        const SensorScan scan = ScanForSensor(ports, sensor::kIdentity, sensor::kBaudRate);
        cpu += ProcessCpuMilliseconds() - before;
        if (scan.found != ports.back()) state.SkipWithError("the scan missed the sensor");
    }
    state.counters["cpu_ms_per_scan"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(ScanBehindSilentPorts)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A port that streams without pause (a device sending at full speed): how long one parameter
// read takes and the CPU the calling thread spends in it. Its timeouts allow about 2 s.
void StreamingPortCall(benchmark::State& state) {
    if (!Bench::Get().m_connected) {
        state.SkipWithError("no simulated sensor");
        return;
    }
    sim::PtyServer& sensor = Bench::Get().Sensor();
    sensor.SetSilent(true);
    double wall = 0;
    double cpu = 0;
    for (auto _ : state) {
        // The stream stops after 10 s at the latest, so that a call it holds ends too.
        std::atomic<bool> streaming{true};
        std::thread stream([&] {
            const std::vector<std::uint8_t> chunk(256, 'x');
            const auto end = Clock::now() + std::chrono::seconds(10);
            while (streaming && Clock::now() < end) {
                sensor.SendRaw(chunk);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto start = Clock::now();
        const double before = CpuMilliseconds(RUSAGE_THREAD);
        long value = 0;
        ZEKO_get(11, &value);
        cpu += CpuMilliseconds(RUSAGE_THREAD) - before;
        wall += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        streaming = false;
        stream.join();
        ZEKO_reconnect();
    }
    sensor.SetSilent(false);
    const auto runs = static_cast<double>(state.iterations());
    state.counters["call_ms"] = wall / runs;
    state.counters["caller_cpu_ms"] = cpu / runs;
    state.counters["caller_cpu_percent"] = wall > 0 ? 100 * cpu / wall : 0;
}
BENCHMARK(StreamingPortCall)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
