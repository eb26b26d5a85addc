// One entry of the sensor's alarm history and its 16-byte form on the line.
#pragma once

#include <array>
#include <cstdint>

#include "sensor_contract.h"

namespace sim {

struct AlarmRecord {
    std::uint32_t leadingWord = 0;  // the sensor numbers its records here
    std::uint32_t typeFlags = 0;    // sensor::kRecord* bits
    float firstValue = 0.0f;        // the threshold in force when the alarm was raised
    float secondValue = 0.0f;       // the value that raised it

    bool operator==(const AlarmRecord&) const = default;
};

using RecordBytes = std::array<std::uint8_t, sensor::kAlarmRecordLength>;

RecordBytes Encode(const AlarmRecord& record);

}  // namespace sim
