#include <gtest/gtest.h>

#include <set>

#include "sensor_model.h"

namespace sim {
namespace {

using std::chrono::milliseconds;

TEST(SimSensorModelLiveTest, ReadingsWanderWithinPlausibleRanges) {
    SensorModel model;
    std::set<float> vibrations;
    std::set<int> movements;
    std::set<int> temperatures;
    for (int i = 0; i < 3000; ++i) {
        model.Advance(milliseconds{100});
        ASSERT_GE(model.Vibration(), 0.0f);
        ASSERT_LE(model.Vibration(), 0.3f);
        ASSERT_GE(model.Movement(), -20);
        ASSERT_LE(model.Movement(), 20);
        ASSERT_GE(model.Temperature(), 23);
        ASSERT_LE(model.Temperature(), 27);
        vibrations.insert(model.Vibration());
        movements.insert(model.Movement());
        temperatures.insert(model.Temperature());
    }
    EXPECT_GT(vibrations.size(), 100u);
    EXPECT_GT(movements.size(), 5u);
    EXPECT_TRUE(movements.count(-1) || movements.count(-2));  // both directions
    EXPECT_GT(temperatures.size(), 1u);
}

TEST(SimSensorModelLiveTest, SameTimeSameSensor) {
    SensorModel a;
    SensorModel b;
    for (int i = 0; i < 50; ++i) {
        a.Advance(milliseconds{100});
    }
    b.Advance(milliseconds{5000});
    EXPECT_EQ(a.StatusBlock(), b.StatusBlock());
}

TEST(SimSensorModelLiveTest, TimeBelowOneRefreshIsCarriedOver) {
    SensorModel model;
    const auto start = model.StatusBlock();
    model.Advance(milliseconds{60});
    EXPECT_EQ(model.StatusBlock(), start);
    model.Advance(milliseconds{60});
    EXPECT_NE(model.StatusBlock(), start);
}

TEST(SimSensorModelLiveTest, SetReadingsHoldStill) {
    SensorModel model;
    model.SetVibration(0.42f);
    EXPECT_FALSE(model.Live());
    model.Advance(milliseconds{10000});
    EXPECT_EQ(model.Vibration(), 0.42f);
    EXPECT_EQ(model.Movement(), 0);
    EXPECT_EQ(model.Temperature(), 25);
    model.SetLive(true);
    model.Advance(milliseconds{1000});
    EXPECT_NE(model.Vibration(), 0.42f);
}

TEST(SimSensorModelLiveTest, LearnedValuesDriftOnlyWhileLearning) {
    SensorModel model;
    const float learnedBefore = model.LearnedVibration();
    model.Advance(milliseconds{5000});
    EXPECT_EQ(model.LearnedVibration(), learnedBefore);

    ASSERT_EQ(model.WriteParameter(sensor::kParamLearnVibration, sensor::kLearnStart), 0);
    ASSERT_EQ(model.WriteParameter(sensor::kParamLearnMovement, sensor::kLearnStart), 0);
    std::set<float> learnedVibrations;
    std::set<int> learnedMovements;
    for (int i = 0; i < 600; ++i) {
        model.Advance(milliseconds{100});
        ASSERT_GE(model.LearnedVibration(), 0.0f);
        ASSERT_LE(model.LearnedVibration(), sensor::kVibrationAlarmMax);
        ASSERT_GE(model.LearnedMovement(), 0);
        ASSERT_LE(model.LearnedMovement(), sensor::kMovementAlarmMax);
        learnedVibrations.insert(model.LearnedVibration());
        learnedMovements.insert(model.LearnedMovement());
    }
    EXPECT_GT(learnedVibrations.size(), 1u);
    EXPECT_GT(learnedMovements.size(), 1u);

    const float learned = model.LearnedVibration();
    ASSERT_EQ(model.WriteParameter(sensor::kParamLearnVibration, sensor::kLearnSave), 0);
    EXPECT_EQ(model.VibrationThreshold(), learned);
    model.Advance(milliseconds{5000});
    EXPECT_EQ(model.LearnedVibration(), learned);
}

}  // namespace
}  // namespace sim
