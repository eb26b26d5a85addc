#include <gtest/gtest.h>

#include <set>

#include "sensor_model.h"

namespace sim {
namespace {

using std::chrono::milliseconds;

// Every value the model took over some steps of 100 ms.
struct Seen {
    std::set<float> vibrations;
    std::set<int> movements;
    std::set<int> temperatures;
    std::set<float> learnedVibrations;
    std::set<int> learnedMovements;
};

Seen Watch(SensorModel& model, int steps) {
    Seen seen;
    for (int i = 0; i < steps; ++i) {
        model.Advance(milliseconds{100});
        seen.vibrations.insert(model.Vibration());
        seen.movements.insert(model.Movement());
        seen.temperatures.insert(model.Temperature());
        seen.learnedVibrations.insert(model.LearnedVibration());
        seen.learnedMovements.insert(model.LearnedMovement());
    }
    return seen;
}

TEST(SimSensorModelLiveTest, ReadingsWanderWithinPlausibleRanges) {
    SensorModel model;
    const Seen seen = Watch(model, 3000);
    const std::set<float>& vibrations = seen.vibrations;
    const std::set<int>& movements = seen.movements;
    const std::set<int>& temperatures = seen.temperatures;
    EXPECT_GE(*vibrations.begin(), 0.0f);
    EXPECT_LE(*vibrations.rbegin(), 0.3f);
    EXPECT_GT(vibrations.size(), 100u);
    EXPECT_GE(*movements.begin(), -20);
    EXPECT_LT(*movements.begin(), 0);
    EXPECT_GT(*movements.rbegin(), 0);
    EXPECT_LE(*movements.rbegin(), 20);
    EXPECT_GE(*temperatures.begin(), 23);
    EXPECT_LE(*temperatures.rbegin(), 27);
    EXPECT_GT(temperatures.size(), 1u);
}

TEST(SimSensorModelLiveTest, SameTimeSameSensorAndSetReadingsHoldStill) {
    SensorModel a;
    SensorModel b;
    for (int i = 0; i < 50; ++i) {
        a.Advance(milliseconds{100});
    }
    b.Advance(milliseconds{4950});
    EXPECT_NE(a.StatusBlock(), b.StatusBlock()) << "the last 50 ms are carried over";
    b.Advance(milliseconds{50});
    EXPECT_EQ(a.StatusBlock(), b.StatusBlock());

    a.SetVibration(0.42f);
    a.Advance(milliseconds{10000});
    EXPECT_EQ(a.StatusBlock()[sensor::kStatusTemperature], b.Temperature());
    EXPECT_EQ(a.Vibration(), 0.42f);
    a.SetLive(true);
    a.Advance(milliseconds{1000});
    EXPECT_NE(a.Vibration(), 0.42f);
}

TEST(SimSensorModelLiveTest, LearnedValuesDriftOnlyWhileLearning) {
    SensorModel model;
    ASSERT_EQ(model.WriteParameter(sensor::kParamLearnVibration, sensor::kLearnStart), 0);
    ASSERT_EQ(model.WriteParameter(sensor::kParamLearnMovement, sensor::kLearnStart), 0);
    const Seen seen = Watch(model, 600);
    const std::set<float>& vibrations = seen.learnedVibrations;
    const std::set<int>& movements = seen.learnedMovements;
    EXPECT_GT(vibrations.size(), 1u);
    EXPECT_GT(movements.size(), 1u);
    EXPECT_LE(*vibrations.rbegin(), sensor::kVibrationAlarmMax);
    EXPECT_LE(*movements.rbegin(), sensor::kMovementAlarmMax);

    const float learned = model.LearnedVibration();
    ASSERT_EQ(model.WriteParameter(sensor::kParamLearnVibration, sensor::kLearnSave), 0);
    EXPECT_EQ(model.VibrationThreshold(), learned);
    model.Advance(milliseconds{5000});
    EXPECT_EQ(model.LearnedVibration(), learned);
}

}  // namespace
}  // namespace sim
