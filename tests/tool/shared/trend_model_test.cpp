// The trend window's model as data: the recording's wrap at 18,000 polls and at 30 minutes, the
// reduction to pixel columns (gaps, alarms, and a one-sample spike that stays in sight at every
// span), the peaks, and the round-number scales and time ticks.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "sensor_contract.h"
#include "trend_plot.h"

namespace {

constexpr std::int64_t kPollMs = 100;
constexpr std::int64_t kMinuteMs = 60'000;

// One poll: its start, its reading (vibration, or movement for the movement rows) and flags;
// no reading for a failed poll.
struct Poll {
    std::int64_t ms;
    std::optional<float> value;
    std::uint8_t flags = 0;
};

TrendRecording Recorded(const std::vector<Poll>& polls, TrendChannel channel) {
    TrendRecording recording;
    for (const Poll& poll : polls) {
        std::optional<StatusReadings> status;
        if (poll.value) {
            status = StatusReadings{.vibration = 0,
                                    .movement = 0,
                                    .temperature = 25,
                                    .flags = poll.flags,
                                    .learnedVibration = 0,
                                    .learnedMovement = 0,
                                    .recordCount = 0};
            if (channel == TrendChannel::Vibration)
                status->vibration = *poll.value;
            else
                status->movement = static_cast<std::int16_t>(*poll.value);
        }
        recording.Record(poll.ms, status);
    }
    return recording;
}

// `count` polls of `value` every 100 ms from `startMs`.
std::vector<Poll> Steady(std::int64_t startMs, int count, float value) {
    std::vector<Poll> polls;
    for (int i = 0; i < count; ++i) polls.push_back({startMs + i * kPollMs, value});
    return polls;
}

std::vector<Poll> operator+(std::vector<Poll> left, const std::vector<Poll>& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// A column as "low" or "low-high"; "|" before it when no line joins it to the one before, "!"
// after it when it is shaded for an alarm; "" when empty.
std::string Describe(const TrendColumn& column) {
    if (!column.hasData) return column.alarm ? "!" : "";
    char text[64];
    if (column.low == column.high) {
        std::snprintf(text, sizeof text, "%g", static_cast<double>(column.low));
    } else {
        std::snprintf(text, sizeof text, "%g-%g", static_cast<double>(column.low),
                      static_cast<double>(column.high));
    }
    return (column.joined ? "" : "|") + std::string(text) + (column.alarm ? "!" : "");
}

// Every table's rows print and are named by their name.
template <typename Case>
requires requires(const Case& c) { c.name; }
std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }
constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

struct RecordingCase {
    const char* name;
    std::vector<Poll> polls;
    std::size_t size;
    std::int64_t firstMs;
};

class TrendRecordingTest : public testing::TestWithParam<RecordingCase> {};

struct ColumnCase {
    const char* name;
    TrendChannel channel;
    std::vector<Poll> polls;
    std::int64_t fromMs;
    std::int64_t toMs;
    std::vector<std::string> columns;
    std::optional<float> peak;
};

class TrendColumnsTest : public testing::TestWithParam<ColumnCase> {};

struct ScaleCase {
    const char* name;
    double low, high;
    int maxTicks;
    double minimumRange, finestStep;
    TrendScale expected;
};

class TrendScaleTest : public testing::TestWithParam<ScaleCase> {};

struct TickCase {
    const char* name;
    std::int64_t fromMs, toMs;
    int maxTicks;
    int utcOffsetSeconds;
    std::vector<std::string> labels;
};

class TrendTicksTest : public testing::TestWithParam<TickCase> {};

// 2026-12-08 09:41:07.300 UTC.
constexpr std::int64_t kMorningMs = 1796722867300;

}  // namespace

TEST_P(TrendRecordingTest, KeepsTheLastThirtyMinutesInAFixedRing) {
    const TrendRecording recording = Recorded(GetParam().polls, TrendChannel::Vibration);
    ASSERT_EQ(recording.Size(), GetParam().size);
    EXPECT_EQ(recording[0].startedMs, GetParam().firstMs);
    EXPECT_EQ(recording[recording.Size() - 1].startedMs, GetParam().polls.back().ms);
    EXPECT_LT(recording.Bytes(), 2u * 1024 * 1024);
}

INSTANTIATE_TEST_SUITE_P(
    Wraps, TrendRecordingTest,
    testing::Values(
        RecordingCase{"HoldsThirtyMinutesOfPolls", Steady(0, 18'000, 0.1f), 18'000, 0},
        RecordingCase{"ThePollAfterThemDropsTheOldest", Steady(0, 18'001, 0.1f), 18'000, 100},
        RecordingCase{"ThreeHoursKeepTheLastThirtyMinutes", Steady(0, 108'000, 0.1f), 18'000,
                      90'000 * kPollMs},
        RecordingCase{"PollsOlderThanThirtyMinutesGoEvenWhenFew",
                      Steady(0, 10, 0.1f) + Steady(30 * kMinuteMs + 500, 2, 0.2f), 6, 600},
        RecordingCase{"FailedPollsAreKeptToo", {{0, {}}, {200, 0.1f}}, 2, 0}),
    kRowName);

TEST_P(TrendColumnsTest, ReduceToLowestAndHighestPerColumn) {
    const ColumnCase& c = GetParam();
    const TrendRecording recording = Recorded(c.polls, c.channel);
    std::vector<std::string> described;
    for (const TrendColumn& column : ReduceToColumns(recording, c.channel, c.fromMs, c.toMs,
                                                     static_cast<int>(c.columns.size())))
        described.push_back(Describe(column));
    EXPECT_EQ(described, c.columns);
    EXPECT_EQ(Peak(recording, c.channel, c.fromMs, c.toMs), c.peak);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, TrendColumnsTest,
    testing::Values(ColumnCase{"AOneSampleSpikeInThirtyMinutesKeepsItsColumn",
                               TrendChannel::Vibration,
                               Steady(0, 9'000, 0.05f) + std::vector<Poll>{{900'000, 0.9f}} +
                                   Steady(900'100, 8'999, 0.05f),
                               0,
                               30 * kMinuteMs,
                               {"|0.05", "0.05", "0.05-0.9", "0.05"},
                               0.9f},
                    ColumnCase{"AFailedPollLeavesAGap",
                               TrendChannel::Vibration,
                               {{0, 0.1f}, {100, 0.1f}, {200, {}}, {300, 0.1f}, {400, 0.1f}},
                               0,
                               500,
                               {"|0.1", "0.1", "", "|0.1", "0.1"},
                               0.1f},
                    ColumnCase{"PollsMoreThanASecondApartAreNotJoined",
                               TrendChannel::Vibration,
                               {{0, 0.1f}, {100, 0.2f}, {1500, 0.3f}, {1600, 0.1f}},
                               0,
                               2000,
                               {"|0.1-0.2", "", "", "|0.1-0.3"},
                               0.3f},
                    ColumnCase{"EmptyColumnsBetweenPollsStillJoin",
                               TrendChannel::Vibration,
                               Steady(0, 3, 0.1f),
                               0,
                               300,
                               {"|0.1", "", "", "0.1", "", "", "0.1", "", "", ""},
                               0.1f},
                    ColumnCase{"TheChannelsAlarmFlagShadesItsColumns",
                               TrendChannel::Vibration,
                               {{0, 0.1f, sensor::kFlagMovement},
                                {100, 0.5f, sensor::kFlagVibration},
                                {200, 0.5f, sensor::kFlagVibration},
                                {300, 0.1f}},
                               0,
                               400,
                               {"|0.1", "0.5!", "0.5!", "0.1"},
                               0.5f},
                    ColumnCase{"MovementPeakIsTheLargestMagnitudeWithItsSign",
                               TrendChannel::Movement,
                               {{0, -3}, {100, 100}, {200, -120}, {300, 5}},
                               0,
                               400,
                               {"|-3", "100", "-120", "5"},
                               -120.0f},
                    ColumnCase{"OnlyThePollsInTheSpanCount",
                               TrendChannel::Movement,
                               {{0, -150}, {100, 20}, {200, {}}, {300, 10}},
                               100,
                               300,
                               {"|20", ""},
                               20.0f},
                    ColumnCase{"NoSuccessfulPollNoPeak",
                               TrendChannel::Vibration,
                               {{0, {}}, {100, {}}},
                               0,
                               200,
                               {"", ""},
                               std::nullopt}),
    kRowName);

TEST_P(TrendScaleTest, TicksAtRoundNumbers) {
    const ScaleCase& c = GetParam();
    const TrendScale scale = NiceScale(c.low, c.high, c.maxTicks, c.minimumRange, c.finestStep);
    EXPECT_DOUBLE_EQ(scale.low, c.expected.low);
    EXPECT_DOUBLE_EQ(scale.high, c.expected.high);
    EXPECT_DOUBLE_EQ(scale.step, c.expected.step);
    EXPECT_EQ(scale.decimals, c.expected.decimals);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, TrendScaleTest,
    testing::Values(
        ScaleCase{"VibrationUpToAThreshold", 0, 0.83, 5, 0.1, 0.01, {0, 1, 0.2, 1}},
        ScaleCase{"QuietVibrationGetsItsSmallestRange", 0, 0.03, 5, 0.1, 0.01, {0, 0.1, 0.02, 2}},
        ScaleCase{"MovementBothWays", -120, 100, 5, 10, 1, {-150, 100, 50, 0}},
        ScaleCase{"NothingYet", 0, 0, 4, 10, 1, {0, 10, 5, 0}},
        ScaleCase{"ZeroIsAlwaysInSight", 3, 7, 10, 10, 1, {0, 10, 1, 0}},
        ScaleCase{"NoStepFinerThanTheReadings", 0, 2, 10, 2, 1, {0, 2, 1, 0}}),
    kRowName);

TEST_P(TrendTicksTest, TicksAtRoundLocalTimes) {
    const TickCase& c = GetParam();
    std::vector<std::string> labels;
    for (const TimeTick& tick : TimeTicks(c.fromMs, c.toMs, c.maxTicks, c.utcOffsetSeconds)) {
        EXPECT_GE(tick.ms, c.fromMs);
        EXPECT_LE(tick.ms, c.toMs);
        labels.push_back(tick.label);
    }
    EXPECT_EQ(labels, c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, TrendTicksTest,
    testing::Values(TickCase{"OneMinuteInTenSecondSteps",
                             kMorningMs,
                             kMorningMs + kMinuteMs,
                             6,
                             0,
                             {"09:41:10", "09:41:20", "09:41:30", "09:41:40", "09:41:50",
                              "09:42:00"}},
                    TickCase{"FiveMinutesInMinutes",
                             kMorningMs,
                             kMorningMs + 5 * kMinuteMs,
                             5,
                             0,
                             {"09:42", "09:43", "09:44", "09:45", "09:46"}},
                    TickCase{"ThirtyMinutesInChinaInFiveMinuteSteps",
                             kMorningMs,
                             kMorningMs + 30 * kMinuteMs,
                             6,
                             8 * 3600,
                             {"17:45", "17:50", "17:55", "18:00", "18:05", "18:10"}},
                    TickCase{"HalfHourZonesTickOnTheirOwnRoundMinutes",
                             kMorningMs,
                             kMorningMs + 30 * kMinuteMs,
                             3,
                             5 * 3600 + 1800,
                             {"15:20", "15:30", "15:40"}},
                    TickCase{"MidnightWrapsTheClock",
                             1796774380000,
                             1796774440000,
                             4,
                             0,
                             {"23:59:45", "00:00:00", "00:00:15", "00:00:30"}}),
    kRowName);
