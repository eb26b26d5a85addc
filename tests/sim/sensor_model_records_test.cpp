#include <gtest/gtest.h>

#include <set>

#include "sensor_model.h"

namespace sim {
namespace {

TEST(SimAlarmRecordTest, RaisingAnAlarmSetsItsFlagAndRecordsIt) {
    const std::tuple<Alarm, std::uint8_t, std::uint32_t> alarms[] = {
        {Alarm::Vibration, sensor::kFlagVibration, sensor::kRecordVibration},
        {Alarm::Movement, sensor::kFlagMovement, sensor::kRecordMovement},
        {Alarm::Temperature, sensor::kFlagTemperature, sensor::kRecordOverTemperature},
        {Alarm::Tamper, sensor::kFlagTamper, sensor::kRecordTamper},
        {Alarm::Voltage, sensor::kFlagVoltage, sensor::kRecordLowVoltage}};
    for (const auto& [alarm, flag, type] : alarms) {
        SensorModel model;
        model.SetVibrationThreshold(0.25f);
        model.SetMovementThreshold(40);
        const auto count = model.Records().size();
        model.RaiseAlarm(alarm);
        EXPECT_EQ(model.StatusBlock()[sensor::kStatusFlags], flag);
        ASSERT_EQ(model.Records().size(), count + 1);
        const auto& record = model.Records().back();
        EXPECT_EQ(record.typeFlags, type);
        EXPECT_EQ(record.leadingWord, count + 1);
        if (alarm == Alarm::Vibration || alarm == Alarm::Movement) {
            // A threshold alarm records its threshold and a value beyond it.
            EXPECT_EQ(record.firstValue, alarm == Alarm::Vibration ? 0.25f : 40.0f);
            EXPECT_GT(record.secondValue, record.firstValue);
        }
        model.ClearAlarms();
        EXPECT_EQ(model.Flags(), 0);
        EXPECT_EQ(model.Records().size(), count + 1) << "clearing flags keeps the history";
    }
}

TEST(SimAlarmRecordTest, HistoryKeepsTheNewest255Exactly) {
    SensorModel model;
    std::vector<AlarmRecord> records;
    for (std::uint32_t i = 0; i < 260; ++i) {
        records.push_back({i, i % 64, static_cast<float>(i), -static_cast<float>(i)});
    }
    model.SetRecords(records);
    EXPECT_EQ(model.Records().front(), records[5]);
    model.AddRecord({1000, sensor::kRecordTamper, 0.0f, 0.0f});
    ASSERT_EQ(model.Records().size(), SensorModel::kMaxRecords);
    EXPECT_EQ(model.Records().front(), records[6]);
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], 255);
    EXPECT_EQ(model.NextRecordNumber(), 1001u);
}

TEST(SimAlarmRecordTest, SampleHistoryHoldsEveryTypeNumberedFromOne) {
    const auto records = SensorModel::SampleRecords();
    std::multiset<std::uint32_t> types;
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].leadingWord, i + 1);
        types.insert(records[i].typeFlags);
    }
    for (std::uint32_t type = sensor::kRecordVibration; type <= sensor::kRecordEnergy; type <<= 1) {
        EXPECT_GE(types.count(type), 2u) << type;
    }
    EXPECT_EQ(SensorModel().Records(), records);
}

}  // namespace
}  // namespace sim
