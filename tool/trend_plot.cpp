#include "trend_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr std::int64_t kMsPerSecond = 1000;

// The time steps between ticks, in seconds: round on a clock.
constexpr int kTimeSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600};

// The round multipliers of a power of ten.
constexpr double kRoundSteps[] = {1, 2, 5, 10};

float ValueOf(const TrendSample& sample, TrendChannel channel) {
    return channel == TrendChannel::Vibration ? sample.vibration
                                              : static_cast<float>(sample.movement);
}

std::uint8_t FlagOf(TrendChannel channel) {
    return channel == TrendChannel::Vibration ? sensor::kFlagVibration : sensor::kFlagMovement;
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

}  // namespace

std::vector<TrendColumn> ReduceToColumns(const TrendRecording& recording, TrendChannel channel,
                                         std::int64_t fromMs, std::int64_t toMs, int columns) {
    std::vector<TrendColumn> result(static_cast<std::size_t>(std::max(columns, 0)));
    if (columns <= 0 || toMs <= fromMs) {
        return result;
    }
    const std::int64_t span = toMs - fromMs;
    // The last successful poll before the span, and whether a failure followed it.
    std::size_t index = recording.FirstAtOrAfter(fromMs);
    std::optional<std::int64_t> previousMs;
    if (index > 0 && !recording[index - 1].Failed()) {
        previousMs = recording[index - 1].startedMs;
    }
    for (; index < recording.Size() && recording[index].startedMs < toMs; ++index) {
        const TrendSample& sample = recording[index];
        if (sample.Failed()) {
            previousMs.reset();
            continue;
        }
        const auto column = static_cast<std::size_t>((sample.startedMs - fromMs) * columns / span);
        TrendColumn& entry = result[column];
        const float value = ValueOf(sample, channel);
        const bool joined = previousMs && sample.startedMs - *previousMs <= kTrendJoinMs;
        if (!entry.hasData) {
            entry = {
                .hasData = true, .first = value, .low = value, .high = value, .joined = joined};
        }
        entry.low = std::min(entry.low, value);
        entry.high = std::max(entry.high, value);
        entry.last = value;
        entry.alarm = entry.alarm || (sample.flags & FlagOf(channel)) != 0;
        previousMs = sample.startedMs;
    }
    // A column's first sample joins the one before it only if that one is in sight too.
    bool seen = false;
    for (TrendColumn& entry : result) {
        if (entry.hasData) {
            entry.joined = entry.joined && seen;
            seen = true;
        }
    }
    return result;
}

std::optional<float> Peak(const TrendRecording& recording, TrendChannel channel,
                          std::int64_t fromMs, std::int64_t toMs) {
    std::optional<float> peak;
    for (std::size_t index = recording.FirstAtOrAfter(fromMs);
         index < recording.Size() && recording[index].startedMs < toMs; ++index) {
        const TrendSample& sample = recording[index];
        if (sample.Failed()) {
            continue;
        }
        const float value = ValueOf(sample, channel);
        if (!peak || std::fabs(value) > std::fabs(*peak)) {
            peak = value;
        }
    }
    return peak;
}

TrendScale NiceScale(double low, double high, int maxTicks, double minimumRange,
                     double finestStep) {
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high - low < minimumRange) {
        high = low + minimumRange;
    }
    const double rough = (high - low) / std::max(maxTicks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * kRoundSteps[std::size(kRoundSteps) - 1];
    for (const double multiplier : kRoundSteps) {
        if (power * multiplier >= rough * (1 - 1e-9)) {
            step = power * multiplier;
            break;
        }
    }
    step = std::max(step, finestStep);
    TrendScale scale{
        .low = std::floor(low / step + 1e-9) * step,
        .high = std::ceil(high / step - 1e-9) * step,
        .step = step,
        .decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)))};
    return scale;
}

std::vector<TimeTick> TimeTicks(std::int64_t fromMs, std::int64_t toMs, int maxTicks,
                                int utcOffsetSeconds) {
    std::vector<TimeTick> ticks;
    if (toMs <= fromMs || maxTicks <= 0) {
        return ticks;
    }
    int step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (const int candidate : kTimeSteps) {
        if ((toMs - fromMs) / (candidate * kMsPerSecond) <= maxTicks) {
            step = candidate;
            break;
        }
    }
    const std::int64_t stepMs = step * kMsPerSecond;
    const std::int64_t offsetMs = utcOffsetSeconds * kMsPerSecond;
    for (std::int64_t local = FloorDiv(fromMs + offsetMs + stepMs - 1, stepMs) * stepMs;
         local - offsetMs <= toMs; local += stepMs) {
        const auto secondOfDay = static_cast<int>(
            local / kMsPerSecond - FloorDiv(local / kMsPerSecond, kSecondsPerDay) * kSecondsPerDay);
        char label[16];
        const int hour = secondOfDay / 3600;
        const int minute = secondOfDay / kSecondsPerMinute % kSecondsPerMinute;
        if (step % kSecondsPerMinute == 0) {
            std::snprintf(label, sizeof label, "%02d:%02d", hour, minute);
        } else {
            std::snprintf(label, sizeof label, "%02d:%02d:%02d", hour, minute,
                          secondOfDay % kSecondsPerMinute);
        }
        ticks.push_back({local - offsetMs, label});
    }
    return ticks;
}

TrendLayout LayOutPlots(int width, int height, int textHeight, int valueLabelWidth) {
    const int gap = textHeight / 2;
    const int left = valueLabelWidth + gap * 2;
    const int right = std::max(left + 1, width - gap * 2);
    // Each plot: its title above, its time labels below.
    const int plotHeight = std::max(1, (height - 4 * textHeight - 3 * gap) / 2);
    const int firstTop = gap + textHeight;
    const int secondTop = firstTop + plotHeight + 2 * textHeight + gap;
    return {.vibration = {left, firstTop, right, firstTop + plotHeight},
            .movement = {left, secondTop, right, secondTop + plotHeight}};
}
