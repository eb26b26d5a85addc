// Draws the trend window's two plots: vibration above movement, each with its curve, its shaded
// alarm periods, its threshold line, its learned value while learning runs, and its axes.
#pragma once

#include <cstdint>

#include "platform.h"
#include "trend_sources.h"

class CDC;

struct TrendView {
    std::int64_t fromMs;
    std::int64_t toMs;
    bool learningVibration;
    bool learningMovement;
    int utcOffsetSeconds;  // of the local time the time axis shows
};

void DrawTrend(CDC& dc, const RECT& area, const TrendSources& sources, const TrendView& view);
