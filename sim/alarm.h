// The five alarms the sensor signals, each with its lamp flag in the status block and the type
// bit of the alarm record it leaves behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "sensor_contract.h"

namespace sim {

enum class Alarm { Vibration, Movement, Temperature, Tamper, Voltage };

struct AlarmBits {
    std::uint8_t flag;
    std::uint32_t recordType;
};

// A row an alarm, in the order of Alarm.
inline constexpr AlarmBits kAlarmBits[] = {
    {sensor::kFlagVibration, sensor::kRecordVibration},
    {sensor::kFlagMovement, sensor::kRecordMovement},
    {sensor::kFlagTemperature, sensor::kRecordOverTemperature},
    {sensor::kFlagTamper, sensor::kRecordTamper},
    {sensor::kFlagVoltage, sensor::kRecordLowVoltage},
};
static_assert(std::size(kAlarmBits) == static_cast<std::size_t>(Alarm::Voltage) + 1);

constexpr std::uint8_t FlagOf(Alarm alarm) { return kAlarmBits[static_cast<int>(alarm)].flag; }

constexpr std::uint32_t RecordTypeOf(Alarm alarm) {
    return kAlarmBits[static_cast<int>(alarm)].recordType;
}

}  // namespace sim
