// The five alarms the sensor signals, each with its lamp flag in the status block and the type
// bit of the alarm record it leaves behind.
#pragma once

#include <cstdint>

#include "sensor_contract.h"

namespace sim {

enum class Alarm { Vibration, Movement, Temperature, Tamper, Voltage };

constexpr std::uint8_t FlagOf(Alarm alarm) {
    switch (alarm) {
        case Alarm::Vibration:
            return sensor::kFlagVibration;
        case Alarm::Movement:
            return sensor::kFlagMovement;
        case Alarm::Temperature:
            return sensor::kFlagTemperature;
        case Alarm::Tamper:
            return sensor::kFlagTamper;
        case Alarm::Voltage:
            return sensor::kFlagVoltage;
    }
    return 0;
}

constexpr std::uint32_t RecordTypeOf(Alarm alarm) {
    switch (alarm) {
        case Alarm::Vibration:
            return sensor::kRecordVibration;
        case Alarm::Movement:
            return sensor::kRecordMovement;
        case Alarm::Temperature:
            return sensor::kRecordOverTemperature;
        case Alarm::Tamper:
            return sensor::kRecordTamper;
        case Alarm::Voltage:
            return sensor::kRecordLowVoltage;
    }
    return 0;
}

}  // namespace sim
