#include <gtest/gtest.h>

#include <limits>

#include "bytes.h"
#include "sensor_model.h"

namespace sim {
namespace {

std::string Ask(SensorModel& model, const std::string& request) {
    const auto answer = model.AnswerText(test::Bytes(request));
    return {answer.begin(), answer.end()};
}

std::string Set(int parameter, std::int32_t value) {
    return "P" + std::to_string(parameter) + "=" + std::to_string(value) + ";";
}

std::string Ack(int parameter, int code) {
    return "P" + std::to_string(parameter) + "R=" + std::to_string(code) + ";";
}

std::string Value(int parameter, std::int32_t value) {
    return "P" + std::to_string(parameter) + "=" + std::to_string(value) + ";";
}

struct Exchange {
    std::string request;
    std::string answer;
};

// Requests to one sensor fresh from the factory, each with the answer it must get.
using Conversation = std::vector<Exchange>;

void PrintTo(const Conversation& c, std::ostream* out) { *out << test::Plain(c[0].request); }

class SimParameterTest : public ::testing::TestWithParam<Conversation> {};

TEST_P(SimParameterTest, Answers) {
    SensorModel model;
    for (const auto& step : GetParam()) {
        EXPECT_EQ(Ask(model, step.request), step.answer) << step.request;
    }
}

constexpr int kRange = SensorModel::kRefusedRange;
constexpr int kValue = SensorModel::kRefusedValue;
constexpr int kNotLearning = SensorModel::kRefusedNotLearning;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Requests, SimParameterTest,
    ::testing::Values(
        // Reads.
        Conversation{{"P8;", "P8=19281;"}}, Conversation{{"p8;", "P8=19281;"}},
        Conversation{{"P10;", Value(10, test::FloatBits(0.5f))}},
        Conversation{{"P11;", "P11=100;"}}, Conversation{{"P12;", "P12=0;"}},
        Conversation{{"P13;", "P13=0;"}}, Conversation{{"P16;", "P16=0;"}},
        Conversation{{"P17;", "P17=0;"}}, Conversation{{"P9;", "P9=ERR;"}},
        Conversation{{"P-8;", "P-8=ERR;"}},
        // Texts the sensor cannot read.
        Conversation{{"Px;", "P=ERR;"}}, Conversation{{"P8=;", "P=ERR;"}},
        Conversation{{"P8=+1;", "P=ERR;"}}, Conversation{{"P 8;", "P=ERR;"}},
        Conversation{{"P12345678901;", "P=ERR;"}}, Conversation{{"P8=2147483648;", "P=ERR;"}},
        // Writes.
        Conversation{{Set(8, 1), Ack(8, SensorModel::kRefusedReadOnly)}},
        Conversation{{Set(10, test::FloatBits(0.0f)), Ack(10, 0)}},
        Conversation{{Set(10, test::FloatBits(1.0f)), Ack(10, 0)}},
        Conversation{{Set(10, test::FloatBits(1.01f)), Ack(10, kRange)}},
        Conversation{{Set(10, test::FloatBits(-0.1f)), Ack(10, kRange)}},
        Conversation{{Set(10, test::FloatBits(kNaN)), Ack(10, kRange)}},
        Conversation{{Set(11, 0), Ack(11, 0)}}, Conversation{{Set(11, 200), Ack(11, 0)}},
        Conversation{{Set(11, 201), Ack(11, kRange)}}, Conversation{{Set(11, -1), Ack(11, kRange)}},
        Conversation{{Set(12, 2), Ack(12, kNotLearning)}},
        Conversation{{Set(13, 2), Ack(13, kNotLearning)}},
        Conversation{{Set(12, 3), Ack(12, kValue)}}, Conversation{{Set(13, -1), Ack(13, kValue)}},
        Conversation{{Set(16, 1), Ack(16, 0)}}, Conversation{{Set(16, 0), Ack(16, kValue)}},
        Conversation{{Set(17, 2), Ack(17, kValue)}},
        Conversation{{Set(9, 1), Ack(9, SensorModel::kRefusedUnknown)}},
        // Writes that stay, or do not.
        Conversation{{Set(10, test::FloatBits(0.75f)), Ack(10, 0)},
                     {"P10;", Value(10, test::FloatBits(0.75f))}},
        Conversation{{Set(10, test::FloatBits(2.0f)), Ack(10, kRange)},
                     {"P10;", Value(10, test::FloatBits(0.5f))}},
        Conversation{{"p11=150;", Ack(11, 0)}, {"P11;", "P11=150;"}},
        Conversation{{Set(11, 500), Ack(11, kRange)}, {"P11;", "P11=100;"}},
        Conversation{{Set(12, 1), Ack(12, 0)}, {"P12;", "P12=1;"}, {"P13;", "P13=0;"}},
        Conversation{{Set(13, 1), Ack(13, 0)},
                     {Set(13, 0), Ack(13, 0)},
                     {"P13;", "P13=0;"},
                     {Set(13, 2), Ack(13, kNotLearning)},
                     {"P11;", "P11=100;"}},
        Conversation{{Set(17, 1), Ack(17, 0)}, {Set(17, 1), Ack(17, 0)}, {"P17;", "P17=2;"}}),
    [](const auto& info) { return test::CaseName(info.index, info.param[0].request); });

TEST(SimSensorModelTest, IdentityAndErase) {
    SensorModel model;
    model.SetIdentity(-42);
    EXPECT_EQ(Ask(model, "P8;"), "P8=-42;");
    ASSERT_FALSE(model.Records().empty());
    EXPECT_EQ(Ask(model, "P16=1;"), "P16R=0;");
    EXPECT_TRUE(model.Records().empty());
}

TEST(SimSensorModelTest, LearningSavesTheLearnedValueAsThreshold) {
    SensorModel model;
    model.SetVibration(0.2f);
    model.SetMovement(-30);
    ASSERT_EQ(Ask(model, "P12=1;"), "P12R=0;");
    ASSERT_EQ(Ask(model, "P13=1;"), "P13R=0;");
    // Learning proposes a threshold above what it has seen.
    EXPECT_GT(model.LearnedVibration(), 0.2f);
    EXPECT_GT(model.LearnedMovement(), 30);

    // A learned value outside the threshold's range is not saved; learning goes on.
    model.SetLearnedVibration(1.5f);
    EXPECT_EQ(Ask(model, "P12=2;"), Ack(12, kRange));
    EXPECT_TRUE(model.LearningVibration());

    model.SetLearnedVibration(0.35f);
    model.SetLearnedMovement(64);
    EXPECT_EQ(Ask(model, "P12=2;"), "P12R=0;");
    EXPECT_EQ(Ask(model, "P13=2;"), "P13R=0;");
    EXPECT_FALSE(model.LearningVibration());
    EXPECT_FALSE(model.LearningMovement());
    EXPECT_EQ(model.VibrationThreshold(), 0.35f);
    EXPECT_EQ(Ask(model, "P11;"), "P11=64;");
}

}  // namespace
}  // namespace sim
