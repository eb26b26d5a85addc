// The sensor's 15-byte status block, decoded as the dialog shows it.
#pragma once

#include "win_types.h"

struct StatusReadings {
    float vibration;  // G; a negative or not-a-number reading comes out as 0.01
    short movement;   // degrees/s
    int temperature;  // degrees C, 0 to 255
    BYTE flags;       // alarm flags, one bit per lamp
    float learnedVibration;
    short learnedMovement;
    BYTE recordCount;
};

StatusReadings DecodeStatusBlock(const BYTE* block);
