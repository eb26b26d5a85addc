#include <gtest/gtest.h>

#include <set>

#include "bytes.h"
#include "sensor_model.h"

namespace sim {
namespace {

struct AlarmCase {
    Alarm alarm;
    std::uint8_t flag;
    std::uint32_t recordType;
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const AlarmCase& c, std::ostream* out) { *out << int{c.flag}; }

class SimRaiseAlarmTest : public ::testing::TestWithParam<AlarmCase> {};

TEST_P(SimRaiseAlarmTest, SetsItsFlagAndRecordsIt) {
    const auto& c = GetParam();
    SensorModel model;
    model.SetFlags(0);
    const auto before = model.Records();
    const auto number = model.NextRecordNumber();
    model.RaiseAlarm(c.alarm);
    EXPECT_EQ(model.Flags(), c.flag);
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusFlags], c.flag);
    ASSERT_EQ(model.Records().size(), before.size() + 1);
    const auto& record = model.Records().back();
    EXPECT_EQ(record.typeFlags, c.recordType);
    EXPECT_EQ(record.leadingWord, number);
    EXPECT_EQ(model.NextRecordNumber(), number + 1);
    model.ClearAlarms();
    EXPECT_EQ(model.Flags(), 0);
    EXPECT_EQ(model.Records().size(), before.size() + 1);  // clearing flags keeps the history
}

INSTANTIATE_TEST_SUITE_P(
    Alarms, SimRaiseAlarmTest,
    ::testing::Values(AlarmCase{Alarm::Vibration, sensor::kFlagVibration, sensor::kRecordVibration},
                      AlarmCase{Alarm::Movement, sensor::kFlagMovement, sensor::kRecordMovement},
                      AlarmCase{Alarm::Temperature, sensor::kFlagTemperature,
                                sensor::kRecordOverTemperature},
                      AlarmCase{Alarm::Tamper, sensor::kFlagTamper, sensor::kRecordTamper},
                      AlarmCase{Alarm::Voltage, sensor::kFlagVoltage, sensor::kRecordLowVoltage}),
    [](const auto& info) { return test::CaseName(info.index, ""); });

TEST(SimAlarmRecordTest, ThresholdAlarmsRecordThresholdAndAValueBeyondIt) {
    SensorModel model;
    model.SetVibrationThreshold(0.25f);
    model.SetMovementThreshold(40);
    model.SetVibration(0.1f);
    model.SetMovement(-3);
    model.RaiseAlarm(Alarm::Vibration);
    model.RaiseAlarm(Alarm::Movement);
    const auto& records = model.Records();
    const auto& vibration = records[records.size() - 2];
    const auto& movement = records.back();
    EXPECT_EQ(vibration.firstValue, 0.25f);
    EXPECT_GT(vibration.secondValue, 0.25f);
    EXPECT_EQ(movement.firstValue, 40.0f);
    EXPECT_GT(movement.secondValue, 40.0f);
}

TEST(SimAlarmRecordTest, AlarmsAccumulateFlags) {
    SensorModel model;
    for (Alarm alarm : kAllAlarms) {
        model.RaiseAlarm(alarm);
    }
    EXPECT_EQ(model.Flags(), 0x1F);
}

TEST(SimAlarmRecordTest, HistoryKeepsTheNewest255) {
    SensorModel model;
    model.ClearRecords();
    for (std::uint32_t i = 1; i <= 300; ++i) {
        model.AddRecord({i, sensor::kRecordTamper, 0.0f, 0.0f});
    }
    ASSERT_EQ(model.Records().size(), SensorModel::kMaxRecords);
    EXPECT_EQ(model.Records().front().leadingWord, 46u);
    EXPECT_EQ(model.Records().back().leadingWord, 300u);
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], 255);
    EXPECT_TRUE(model.RecordBlock(255));
    EXPECT_EQ(model.NextRecordNumber(), 301u);
}

TEST(SimAlarmRecordTest, SetRecordsKeepsThemExactlyAndTheNewest255) {
    SensorModel model;
    std::vector<AlarmRecord> records;
    for (std::uint32_t i = 0; i < 260; ++i) {
        records.push_back({i, i % 64, static_cast<float>(i), -static_cast<float>(i)});
    }
    model.SetRecords(records);
    ASSERT_EQ(model.Records().size(), SensorModel::kMaxRecords);
    EXPECT_EQ(model.Records().front(), records[5]);
    EXPECT_EQ(model.Records().back(), records.back());
}

TEST(SimAlarmRecordTest, SampleHistoryHoldsEveryTypeNumberedFromOne) {
    const auto records = SensorModel::SampleRecords();
    std::multiset<std::uint32_t> types;
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].leadingWord, i + 1);
        types.insert(records[i].typeFlags);
    }
    for (std::uint32_t type :
         {sensor::kRecordVibration, sensor::kRecordMovement, sensor::kRecordOverTemperature,
          sensor::kRecordTamper, sensor::kRecordLowVoltage, sensor::kRecordEnergy}) {
        EXPECT_GE(types.count(type), 2u) << type;
    }
    SensorModel model;
    EXPECT_EQ(model.Records(), records);
    EXPECT_EQ(model.NextRecordNumber(), records.size() + 1);
}

}  // namespace
}  // namespace sim
