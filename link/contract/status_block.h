// The sensor's 15-byte status block, decoded as the dialog shows it; the zeko command decodes it
// the same way. Needs zeko_api.h on the include path, for the big-endian readers.
#pragma once

#include <cmath>
#include <cstdint>

#include "big_endian_float.h"
#include "sensor_contract.h"
#include "zeko_api.h"

struct StatusReadings {
    float vibration;        // G; a negative or not-a-number reading comes out as 0.01
    std::int16_t movement;  // degrees/s
    int temperature;        // degrees C, 0 to 255
    std::uint8_t flags;     // alarm flags, one bit per lamp
    float learnedVibration;
    std::int16_t learnedMovement;
    std::uint8_t recordCount;
};

namespace status_block_detail {

// Shown in place of a vibration the sensor reports as negative or not a number.
inline constexpr float kVibrationFloor = 0.01f;

// The 16-bit fields are signed on the dialog's side: 0xFFFE is -2.
inline std::int16_t ShortAt(const std::uint8_t* block, std::size_t offset) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(ReadBE16(block + offset)));
}

}  // namespace status_block_detail

inline StatusReadings DecodeStatusBlock(const std::uint8_t* block) {
    using status_block_detail::ShortAt;
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
    if (status.vibration < 0.0f || std::isnan(status.vibration)) {
        status.vibration = status_block_detail::kVibrationFloor;
    }
    return status;
}
