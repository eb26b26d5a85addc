// zeko get, set, threshold, learn and clear-history: parameter reads and writes, the thresholds
// with the dialog's validation, and threshold learning.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <limits>

#include "commands.h"
#include "exit_status.h"
#include "json_float.h"
#include "number_text.h"
#include "sensor_contract.h"
#include "sensor_link.h"

namespace {

constexpr const char kVibration[] = "vibration";

// A raw value is what the sensor keeps: 32 bits, written as signed or unsigned.
constexpr long long kLowestRaw = std::numeric_limits<std::int32_t>::min();
constexpr long long kHighestRaw = std::numeric_limits<std::uint32_t>::max();

int ParameterNumber(const std::string& text) {
    const auto number = ParseInteger(text);
    if (!number || *number < 0 || *number > std::numeric_limits<int>::max()) {
        throw CommandFailure(kExitBadArguments, "PARAM must be a parameter number: " + text);
    }
    return static_cast<int>(*number);
}

void Print(bool json, const Json& object, const std::string& text) {
    std::cout << (json ? object.dump() : text) << std::endl;
}

// As the dialog takes the vibration edit: a number, as a float, from 0 to 1 G, but not 0.
long VibrationThresholdBits(const std::string& text) {
    const auto value = ParseReal(text);
    if (!value) throw CommandFailure(kExitBadArguments, "VALUE must be a number of G: " + text);
    const auto g = static_cast<float>(*value);
    if (!(g >= 0.0f && g <= sensor::kVibrationAlarmMax)) {
        throw CommandFailure(kExitValueRefused, "the vibration threshold must lie from 0 to 1 G");
    }
    if (g == 0.0f) throw CommandFailure(kExitValueRefused, "a threshold of 0 is refused");
    return std::bit_cast<std::int32_t>(g);
}

// As the dialog takes the movement edit: a whole number from 0 to 200 degrees/s, but not 0.
long MovementThreshold(const std::string& text) {
    const auto value = ParseInteger(text);
    if (!value) throw CommandFailure(kExitBadArguments, "VALUE must be whole degrees/s: " + text);
    if (*value < 0 || *value > sensor::kMovementAlarmMax) {
        throw CommandFailure(kExitValueRefused,
                             "the movement threshold must lie from 0 to 200 deg/s");
    }
    if (*value == 0) throw CommandFailure(kExitValueRefused, "a threshold of 0 is refused");
    return static_cast<long>(*value);
}

}  // namespace

int RunGet(const CommonOptions& options, const std::string& parameter) {
    const int number = ParameterNumber(parameter);
    SensorLink link(options.port);
    const long value = link.Get(number);
    Print(options.json, {{"parameter", number}, {"value", value}}, std::to_string(value));
    return kExitOk;
}

int RunSet(const CommonOptions& options, const std::string& parameter, const std::string& value) {
    const int number = ParameterNumber(parameter);
    const auto raw = ParseInteger(value);
    if (!raw || *raw < kLowestRaw || *raw > kHighestRaw) {
        throw CommandFailure(kExitBadArguments, "VALUE must be a 32-bit integer: " + value);
    }
    SensorLink link(options.port);
    link.Set(number, static_cast<long>(*raw));
    return kExitOk;
}

int RunThreshold(const CommonOptions& options, const std::string& kind,
                 const std::optional<std::string>& value) {
    const bool vibration = kind == kVibration;
    const int parameter = vibration ? sensor::kParamVibrationAlarm : sensor::kParamMovementAlarm;
    if (value) {
        const long written = vibration ? VibrationThresholdBits(*value) : MovementThreshold(*value);
        SensorLink link(options.port);
        link.Set(parameter, written);
        return kExitOk;
    }
    SensorLink link(options.port);
    const long read = link.Get(parameter);
    const std::string key = kind + "_threshold";
    if (vibration) {
        const float g = std::bit_cast<float>(static_cast<std::int32_t>(read));
        char text[32];
        std::snprintf(text, sizeof text, "%3.2f", static_cast<double>(g));
        Print(options.json, {{key, JsonFloat(g)}}, text);
    } else {
        const auto degrees = static_cast<std::int32_t>(read);
        Print(options.json, {{key, degrees}}, std::to_string(degrees));
    }
    return kExitOk;
}

int RunLearn(const CommonOptions& options, const std::string& kind, const std::string& action) {
    const int parameter =
        kind == kVibration ? sensor::kParamLearnVibration : sensor::kParamLearnMovement;
    const int command = action == "start"  ? sensor::kLearnStart
                        : action == "save" ? sensor::kLearnSave
                                           : sensor::kLearnCancel;
    SensorLink link(options.port);
    link.Set(parameter, command);
    return kExitOk;
}

int RunClearHistory(const CommonOptions& options) {
    SensorLink link(options.port);
    link.Set(sensor::kParamClearHistory, sensor::kCommandValue);
    return kExitOk;
}
