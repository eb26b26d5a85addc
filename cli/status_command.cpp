// zeko status: one status poll, or with --watch one per interval, each decoded as the dialog
// decodes it and printed as one line (text, a JSON object, or the trend window's CSV line).
#include <signal.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>

#include "commands.h"
#include "exit_status.h"
#include "json_float.h"
#include "sensor_contract.h"
#include "sensor_link.h"
#include "status_block.h"
#include "status_csv.h"

namespace {

using Clock = std::chrono::steady_clock;

// As the dialog: from the third failed poll in a row on, the link counts as lost.
constexpr int kFailuresBeforeLost = 3;
constexpr auto kRescanInterval = std::chrono::seconds(2);

struct AlarmName {
    const char* name;
    std::uint8_t flag;
};

constexpr AlarmName kAlarms[] = {
    {"vibration", sensor::kFlagVibration},     {"movement", sensor::kFlagMovement},
    {"temperature", sensor::kFlagTemperature}, {"tamper", sensor::kFlagTamper},
    {"voltage", sensor::kFlagVoltage},
};

enum class Format { Text, Json, Csv };

StatusReadings Poll(SensorLink& link) {
    std::array<std::uint8_t, sensor::kStatusBlockLength> block{};
    link.Block(sensor::kBlockStatus, {}, block);
    return DecodeStatusBlock(block.data());
}

Json StatusJson(const StatusReadings& s) {
    Json alarms = Json::object();
    for (const AlarmName& alarm : kAlarms) alarms[alarm.name] = (s.flags & alarm.flag) != 0;
    return {
        {"vibration", JsonFloat(s.vibration)},
        {"movement", s.movement},
        {"temperature", s.temperature},
        {"alarms", alarms},
        {"learned_vibration", JsonFloat(s.learnedVibration)},
        {"learned_movement", s.learnedMovement},
        {"record_count", s.recordCount},
    };
}

// Readings as the dialog formats them: G with two decimals, whole degrees.
std::string StatusLine(const StatusReadings& s) {
    std::string alarms;
    for (const AlarmName& alarm : kAlarms) {
        if (s.flags & alarm.flag) alarms += (alarms.empty() ? "" : ",") + std::string(alarm.name);
    }
    std::array<char, 256> line{};
    std::snprintf(line.data(), line.size(),
                  "vibration %3.2f G  movement %d deg/s  temperature %d deg C  alarms %s  "
                  "learned %3.2f G %d deg/s  records %d",
                  static_cast<double>(s.vibration), s.movement, s.temperature,
                  alarms.empty() ? "none" : alarms.c_str(), static_cast<double>(s.learnedVibration),
                  s.learnedMovement, s.recordCount);
    return line.data();
}

std::int64_t MsSinceEpoch(std::chrono::system_clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

// One poll, printed; a failed one throws, after its CSV line of empty fields.
void PollAndPrint(SensorLink& link, Format format) {
    const auto started = std::chrono::system_clock::now();
    if (format != Format::Csv) {
        const StatusReadings status = Poll(link);
        std::cout << (format == Format::Json ? StatusJson(status).dump() : StatusLine(status))
                  << std::endl;
        return;
    }
    try {
        const StatusReadings status = Poll(link);
        std::cout << StatusCsvLine(MsSinceEpoch(started), &status) << std::endl;
    } catch (const CommandFailure&) {
        std::cout << StatusCsvLine(MsSinceEpoch(started), nullptr) << std::endl;
        throw;
    }
}

// Sleeps until `deadline` or a stop signal (held pending meanwhile); true when told to stop.
bool WaitForStop(const sigset_t& stops, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{.tv_sec = static_cast<time_t>(ns / 1'000'000'000),
                               .tv_nsec = static_cast<long>(ns % 1'000'000'000)};
        if (sigtimedwait(&stops, nullptr, &timeout) > 0) return true;
        if (errno == EAGAIN) return false;
    }
}

// Looks for the sensor again every 2 s after its device went away, until it answers (on its old
// port or, when scanning, on another), a stop signal comes or the polls counted run out. Each
// attempt that finds nothing stands for a failed poll: reported, and counted by --count.
bool FindAgain(SensorLink& link, const sigset_t& stops, int& polls, int count) {
    std::cerr << "zeko: the device is gone; looking for the sensor every 2 s" << std::endl;
    for (auto next = Clock::now();;) {
        next = std::max(next + kRescanInterval, Clock::now());
        if (WaitForStop(stops, next)) return false;
        if (link.Find()) {
            std::cerr << "zeko: the sensor answers again on COM" << link.Port() << std::endl;
            return true;
        }
        std::cerr << "zeko: no sensor found" << std::endl;
        if (++polls == count) return false;
    }
}

// One poll per interval, never more: a poll that overruns its interval is followed at once by the
// next, not by a burst of the missed ones. A failed poll is reported and the watch goes on; three
// in a row end it, unless the device went away: then the sensor is looked for until it is back.
// Ctrl-C (or SIGTERM) ends it after the poll in progress.
int Watch(SensorLink& link, Format format, const WatchOptions& watch) {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    const auto interval = std::chrono::milliseconds(watch.intervalMs);
    int failures = 0;
    ExitStatus status = kExitOk;
    auto next = Clock::now();
    for (int polls = 1;; ++polls) {
        try {
            PollAndPrint(link, format);
            failures = 0;
            status = kExitOk;
            if (!std::cout) break;  // nowhere to write to; the caller reports it
        } catch (const CommandFailure& failure) {
            std::cerr << "zeko: " << failure.what() << std::endl;
            status = failure.status;
            if (link.DeviceGone() && polls != watch.count) {
                if (!FindAgain(link, stops, polls, watch.count)) {
                    status = kExitNoSensor;
                    break;
                }
                failures = 0;
                next = Clock::now();
                continue;
            }
            if (++failures >= kFailuresBeforeLost) break;
        }
        if (polls == watch.count) break;
        next = std::max(next + interval, Clock::now());
        if (WaitForStop(stops, next)) break;
    }
    // A watch whose last poll failed did not end well.
    return status;
}

}  // namespace

int RunStatus(const CommonOptions& options, const WatchOptions& watch, bool csv) {
    const Format format = csv ? Format::Csv : options.json ? Format::Json : Format::Text;
    SensorLink link(options.port);
    if (csv) std::cout << kStatusCsvHeader << std::endl;
    if (watch.watch) return Watch(link, format, watch);
    PollAndPrint(link, format);
    return kExitOk;
}
