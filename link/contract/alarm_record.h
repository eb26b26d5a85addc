// The six types of alarm record and which of a record's two values each one carries: one table
// for everything that shows the sensor's history.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "sensor_contract.h"

namespace sensor {

// Also the row of its type in kRecordTypes, so that tables of names can follow the same order.
enum class RecordType { Vibration, Movement, OverTemperature, Tamper, LowVoltage, Energy };

struct RecordTypeBit {
    RecordType type;
    std::uint32_t bit;
    int valuesShown;  // the first `valuesShown` of the two values mean something, the rest not
};

// Lowest bit first: a record with several bits set is of the lowest one's type.
inline constexpr RecordTypeBit kRecordTypes[] = {
    {RecordType::Vibration, kRecordVibration, 2},
    {RecordType::Movement, kRecordMovement, 2},
    {RecordType::OverTemperature, kRecordOverTemperature, 0},
    {RecordType::Tamper, kRecordTamper, 0},
    {RecordType::LowVoltage, kRecordLowVoltage, 2},
    {RecordType::Energy, kRecordEnergy, 1},
};

constexpr bool RecordTypesInOrder() {
    for (std::size_t row = 0; row < std::size(kRecordTypes); ++row) {
        if (static_cast<std::size_t>(kRecordTypes[row].type) != row) return false;
        if (row > 0 && kRecordTypes[row].bit <= kRecordTypes[row - 1].bit) return false;
    }
    return true;
}
static_assert(RecordTypesInOrder());

// The type a record's flags name; nullptr when they carry none of the six bits.
constexpr const RecordTypeBit* RecordTypeOf(std::uint32_t flags) {
    for (const RecordTypeBit& type : kRecordTypes) {
        if (flags & type.bit) return &type;
    }
    return nullptr;
}

}  // namespace sensor
