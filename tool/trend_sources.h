// What the trend window shows, kept by the main dialog from the moment it is connected: the
// recorded polls, the alarm thresholds as last read from or written to the sensor, and the values
// the sensor's learning found at the last poll.
#pragma once

#include <optional>

#include "trend_recording.h"

struct TrendSources {
    TrendRecording recording;
    std::optional<float> vibrationAlarm;  // G
    std::optional<int> movementAlarm;     // degrees/s
    float learnedVibration = 0;
    int learnedMovement = 0;
};
