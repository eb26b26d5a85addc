#include "status_block.h"

#include <cmath>
#include <cstdint>

#include "sensor_contract.h"
#include "sensor_float.h"
#include "zeko_api.h"

namespace {

// Shown in place of a vibration the sensor reports as negative or not a number.
constexpr float kVibrationFloor = 0.01f;

// The 16-bit fields are signed on the dialog's side: 0xFFFE is -2.
short ShortAt(const BYTE* block, std::size_t offset) {
    return static_cast<short>(static_cast<std::uint16_t>(ReadBE16(block + offset)));
}

}  // namespace

StatusReadings DecodeStatusBlock(const BYTE* block) {
    StatusReadings status{
        .vibration = ReadBEFloat(block + sensor::kStatusVibration),
        .movement = ShortAt(block, sensor::kStatusMovement),
        .temperature = block[sensor::kStatusTemperature],
        .flags = block[sensor::kStatusFlags],
        .learnedVibration = ReadBEFloat(block + sensor::kStatusLearnedVibration),
        .learnedMovement = ShortAt(block, sensor::kStatusLearnedMovement),
        .recordCount = block[sensor::kStatusRecordCount],
    };
    // Negative zero is not below zero and stays.
    if (status.vibration < 0.0f || std::isnan(status.vibration)) status.vibration = kVibrationFloor;
    return status;
}
