// The trend window's picture as data: the recorded samples of a time span reduced to one entry
// per pixel column (its lowest and highest value, so a one-sample spike shows at every span), the
// peaks, round-number scales for the values and the time, and where the two plots go.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "trend_recording.h"

enum class TrendChannel { Vibration, Movement };

// Samples further apart than this are not joined by a line: the polls between did not happen.
inline constexpr std::int64_t kTrendJoinMs = 1000;

struct TrendColumn {
    bool hasData = false;  // a successful poll fell in the column
    float first = 0;       // its values: the first, the lowest, the highest and the last
    float low = 0;
    float high = 0;
    float last = 0;
    // A line joins the first value to the last value of the column with data before: no failed
    // poll and no pause in the polling lies between them.
    bool joined = false;
    bool alarm = false;  // a poll in the column reported this channel's alarm flag
};

// The polls started in [fromMs, toMs), `columns` columns of equal time each, oldest left.
std::vector<TrendColumn> ReduceToColumns(const TrendRecording& recording, TrendChannel channel,
                                         std::int64_t fromMs, std::int64_t toMs, int columns);

// The reading of largest magnitude among the polls started in [fromMs, toMs), with its sign;
// nothing when none succeeded.
std::optional<float> Peak(const TrendRecording& recording, TrendChannel channel,
                          std::int64_t fromMs, std::int64_t toMs);

// Ticks at low, low + step, ... high, all round numbers (1, 2 or 5 times a power of ten).
struct TrendScale {
    double low = 0;
    double high = 0;
    double step = 0;
    int decimals = 0;  // what a tick's label needs
};

// A scale covering `low` to `high` (and zero) with at most `maxTicks` steps; a range narrower
// than `minimumRange` is widened upwards to it, a step finer than `finestStep` is not used.
TrendScale NiceScale(double low, double high, int maxTicks, double minimumRange, double finestStep);

struct TimeTick {
    std::int64_t ms;
    std::string label;  // local time, "hh:mm:ss", or "hh:mm" for whole minutes
};

// Ticks at round local times in [fromMs, toMs], at most `maxTicks`; `utcOffsetSeconds` is the
// local time's offset from UTC.
std::vector<TimeTick> TimeTicks(std::int64_t fromMs, std::int64_t toMs, int maxTicks,
                                int utcOffsetSeconds);

struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The two plots in a control of `width` x `height` pixels, vibration above movement, each with
// room above for its title, left for its value labels and below for its time labels.
struct TrendLayout {
    PlotRect vibration;
    PlotRect movement;
};

TrendLayout LayOutPlots(int width, int height, int textHeight, int valueLabelWidth);
