#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "bytes.h"
#include "sensor_model.h"

namespace sim {
namespace {

std::string Ask(SensorModel& model, const std::string& request) {
    const auto answer = model.AnswerText(test::Bytes(request));
    return {answer.begin(), answer.end()};
}

std::string Write(int parameter, std::int32_t value) {
    return "P" + std::to_string(parameter) + "=" + std::to_string(value) + ";";
}

struct ExchangeCase {
    std::string request;
    std::string answer;
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const ExchangeCase& c, std::ostream* out) { *out << test::Plain(c.request); }

std::string Named(const ::testing::TestParamInfo<ExchangeCase>& info) {
    return test::CaseName(info.index, info.param.request);
}

class SimFactorySensorTest : public ::testing::TestWithParam<ExchangeCase> {};

// One request to a sensor fresh from the factory.
TEST_P(SimFactorySensorTest, Answers) {
    SensorModel model;
    EXPECT_EQ(Ask(model, GetParam().request), GetParam().answer) << GetParam().request;
}

const std::string kRange = std::to_string(SensorModel::kRefusedRange);
const std::string kValue = std::to_string(SensorModel::kRefusedValue);

INSTANTIATE_TEST_SUITE_P(
    Reads, SimFactorySensorTest,
    ::testing::Values(ExchangeCase{"P8;", "P8=19281;"}, ExchangeCase{"p8;", "P8=19281;"},
                      ExchangeCase{"P10;", "P10=" + std::to_string(test::FloatBits(0.5f)) + ";"},
                      ExchangeCase{"P11;", "P11=100;"}, ExchangeCase{"P12;", "P12=0;"},
                      ExchangeCase{"P13;", "P13=0;"}, ExchangeCase{"P16;", "P16=0;"},
                      ExchangeCase{"P17;", "P17=0;"}, ExchangeCase{"P9;", "P9=ERR;"},
                      ExchangeCase{"P0;", "P0=ERR;"}, ExchangeCase{"P-8;", "P-8=ERR;"},
                      ExchangeCase{"P99;", "P99=ERR;"}, ExchangeCase{"Px;", "P=ERR;"},
                      ExchangeCase{"P8=;", "P=ERR;"}),
    Named);

INSTANTIATE_TEST_SUITE_P(
    Writes, SimFactorySensorTest,
    ::testing::Values(
        ExchangeCase{Write(8, 19281), "P8R=" + std::to_string(SensorModel::kRefusedReadOnly) + ";"},
        ExchangeCase{Write(10, test::FloatBits(0.25f)), "P10R=0;"},
        ExchangeCase{Write(10, test::FloatBits(0.0f)), "P10R=0;"},
        ExchangeCase{Write(10, test::FloatBits(1.0f)), "P10R=0;"},
        ExchangeCase{Write(10, test::FloatBits(1.01f)), "P10R=" + kRange + ";"},
        ExchangeCase{Write(10, test::FloatBits(-0.1f)), "P10R=" + kRange + ";"},
        ExchangeCase{Write(10, test::FloatBits(std::numeric_limits<float>::quiet_NaN())),
                     "P10R=" + kRange + ";"},
        ExchangeCase{Write(11, 0), "P11R=0;"}, ExchangeCase{Write(11, 200), "P11R=0;"},
        ExchangeCase{Write(11, 201), "P11R=" + kRange + ";"},
        ExchangeCase{Write(11, -1), "P11R=" + kRange + ";"}, ExchangeCase{Write(12, 1), "P12R=0;"},
        ExchangeCase{Write(13, 1), "P13R=0;"}, ExchangeCase{Write(12, 0), "P12R=0;"},
        ExchangeCase{Write(13, 0), "P13R=0;"},
        ExchangeCase{Write(12, 2),
                     "P12R=" + std::to_string(SensorModel::kRefusedNotLearning) + ";"},
        ExchangeCase{Write(13, 2),
                     "P13R=" + std::to_string(SensorModel::kRefusedNotLearning) + ";"},
        ExchangeCase{Write(12, 3), "P12R=" + kValue + ";"},
        ExchangeCase{Write(13, -1), "P13R=" + kValue + ";"}, ExchangeCase{Write(16, 1), "P16R=0;"},
        ExchangeCase{Write(16, 0), "P16R=" + kValue + ";"}, ExchangeCase{Write(17, 1), "P17R=0;"},
        ExchangeCase{Write(17, 2), "P17R=" + kValue + ";"},
        ExchangeCase{Write(9, 1), "P9R=" + std::to_string(SensorModel::kRefusedUnknown) + ";"},
        ExchangeCase{"p11=5;", "P11R=0;"}),
    Named);

// A sequence of requests to one sensor, each with the answer it must get.
struct Conversation {
    std::string name;
    std::vector<ExchangeCase> steps;
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const Conversation& c, std::ostream* out) { *out << c.name; }

class SimConversationTest : public ::testing::TestWithParam<Conversation> {};

TEST_P(SimConversationTest, Answers) {
    SensorModel model;
    for (const auto& step : GetParam().steps) {
        EXPECT_EQ(Ask(model, step.request), step.answer) << step.request;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SimConversationTest,
    ::testing::Values(
        Conversation{"VibrationThresholdKept",
                     {{Write(10, test::FloatBits(0.75f)), "P10R=0;"},
                      {"P10;", "P10=" + std::to_string(test::FloatBits(0.75f)) + ";"}}},
        Conversation{"RefusedVibrationThresholdChangesNothing",
                     {{Write(10, test::FloatBits(2.0f)), "P10R=" + kRange + ";"},
                      {"P10;", "P10=" + std::to_string(test::FloatBits(0.5f)) + ";"}}},
        Conversation{"MovementThresholdKept", {{Write(11, 150), "P11R=0;"}, {"P11;", "P11=150;"}}},
        Conversation{"RefusedMovementThresholdChangesNothing",
                     {{Write(11, 500), "P11R=" + kRange + ";"}, {"P11;", "P11=100;"}}},
        Conversation{"LearningShowsInItsParameter",
                     {{Write(12, 1), "P12R=0;"},
                      {"P12;", "P12=1;"},
                      {"P13;", "P13=0;"},
                      {Write(12, 0), "P12R=0;"},
                      {"P12;", "P12=0;"}}},
        Conversation{
            "CancelledLearningCannotBeSaved",
            {{Write(13, 1), "P13R=0;"},
             {Write(13, 0), "P13R=0;"},
             {Write(13, 2), "P13R=" + std::to_string(SensorModel::kRefusedNotLearning) + ";"},
             {"P11;", "P11=100;"}}},
        Conversation{"CalibrationsCounted",
                     {{Write(17, 1), "P17R=0;"}, {Write(17, 1), "P17R=0;"}, {"P17;", "P17=2;"}}}),
    [](const auto& info) { return info.param.name; });

TEST(SimSensorModelParameterTest, IdentityCanBeChanged) {
    SensorModel model;
    model.SetIdentity(-42);
    EXPECT_EQ(Ask(model, "P8;"), "P8=-42;");
}

TEST(SimSensorModelParameterTest, EraseEmptiesTheHistory) {
    SensorModel model;
    ASSERT_FALSE(model.Records().empty());
    EXPECT_EQ(Ask(model, "P16=1;"), "P16R=0;");
    EXPECT_TRUE(model.Records().empty());
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], 0);
    EXPECT_EQ(Ask(model, "P16=0;"), "P16R=" + kValue + ";");
}

TEST(SimSensorModelParameterTest, LearningSavesTheLearnedValueAsThreshold) {
    SensorModel model;
    model.SetVibration(0.2f);
    model.SetMovement(-30);
    EXPECT_EQ(model.WriteParameter(sensor::kParamLearnVibration, sensor::kLearnStart), 0);
    EXPECT_EQ(model.WriteParameter(sensor::kParamLearnMovement, sensor::kLearnStart), 0);
    EXPECT_TRUE(model.LearningVibration());
    EXPECT_TRUE(model.LearningMovement());
    // Learning proposes a threshold above what it has seen.
    EXPECT_GT(model.LearnedVibration(), 0.2f);
    EXPECT_LE(model.LearnedVibration(), sensor::kVibrationAlarmMax);
    EXPECT_GT(model.LearnedMovement(), 30);
    EXPECT_LE(model.LearnedMovement(), sensor::kMovementAlarmMax);

    model.SetLearnedVibration(0.35f);
    model.SetLearnedMovement(64);
    EXPECT_EQ(Ask(model, "P12=2;"), "P12R=0;");
    EXPECT_EQ(Ask(model, "P13=2;"), "P13R=0;");
    EXPECT_FALSE(model.LearningVibration());
    EXPECT_FALSE(model.LearningMovement());
    EXPECT_EQ(model.VibrationThreshold(), 0.35f);
    EXPECT_EQ(Ask(model, "P11;"), "P11=64;");
    // The learned values stay on show after saving.
    EXPECT_EQ(model.LearnedVibration(), 0.35f);
    EXPECT_EQ(model.LearnedMovement(), 64);
}

TEST(SimSensorModelParameterTest, LearnedValueOutOfRangeIsNotSaved) {
    SensorModel model;
    ASSERT_EQ(Ask(model, "P12=1;"), "P12R=0;");
    ASSERT_EQ(Ask(model, "P13=1;"), "P13R=0;");
    model.SetLearnedVibration(1.5f);
    model.SetLearnedMovement(-1);
    EXPECT_EQ(Ask(model, "P12=2;"), "P12R=" + kRange + ";");
    EXPECT_EQ(Ask(model, "P13=2;"), "P13R=" + kRange + ";");
    EXPECT_TRUE(model.LearningVibration());
    EXPECT_TRUE(model.LearningMovement());
    EXPECT_EQ(model.VibrationThreshold(), 0.5f);
    EXPECT_EQ(model.MovementThreshold(), 100);
}

TEST(SimSensorModelParameterTest, CancelKeepsTheThreshold) {
    SensorModel model;
    ASSERT_EQ(Ask(model, "P12=1;"), "P12R=0;");
    model.Advance(std::chrono::seconds{5});
    EXPECT_EQ(Ask(model, "P12=0;"), "P12R=0;");
    EXPECT_FALSE(model.LearningVibration());
    EXPECT_EQ(model.VibrationThreshold(), 0.5f);
}

}  // namespace
}  // namespace sim
