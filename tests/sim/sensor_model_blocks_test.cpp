#include <gtest/gtest.h>

#include <string>

#include "sensor_model.h"

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A sensor whose status block and history are known to the byte.
SensorModel KnownSensor() {
    SensorModel model;
    model.SetVibration(-1.0f);        // BF 80 00 00
    model.SetMovement(-2);            // FF FE
    model.SetTemperature(255);        // FF
    model.SetFlags(0x11);             // vibration and voltage
    model.SetLearnedVibration(0.5f);  // 3F 00 00 00
    model.SetLearnedMovement(200);    // 00 C8
    model.SetRecords({{0x01020304, sensor::kRecordEnergy, 12.5f, -1.0f},
                      {7, sensor::kRecordVibration | sensor::kRecordMovement, 0.5f, 0.75f}});
    return model;
}

const Bytes kKnownStatus = {0xBF, 0x80, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x11,
                            0x3F, 0x00, 0x00, 0x00, 0x00, 0xC8, 0x02};
const Bytes kKnownRecord1 = {0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x20,
                             0x41, 0x48, 0x00, 0x00, 0xBF, 0x80, 0x00, 0x00};
const Bytes kKnownRecord2 = {0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x03,
                             0x3F, 0x00, 0x00, 0x00, 0x3F, 0x40, 0x00, 0x00};

Bytes Reply(std::uint8_t link, std::uint8_t command, Bytes data) {
    data.insert(data.begin(), {link, command});
    return data;
}

Bytes Zeros(std::size_t n) { return Bytes(n, 0); }

Bytes Cut(const Bytes& bytes, std::size_t n) {
    Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    return cut;
}

Bytes Padded(Bytes bytes, std::size_t n) {
    bytes.resize(n, 0);
    return bytes;
}

TEST(SimSensorModelBlockTest, StatusBlockBytes) {
    const auto block = KnownSensor().StatusBlock();
    EXPECT_EQ(Bytes(block.begin(), block.end()), kKnownStatus);
}

TEST(SimSensorModelBlockTest, RecordBytes) {
    const auto model = KnownSensor();
    const auto first = model.RecordBlock(1);
    const auto second = model.RecordBlock(2);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(Bytes(first->begin(), first->end()), kKnownRecord1);
    EXPECT_EQ(Bytes(second->begin(), second->end()), kKnownRecord2);
    EXPECT_FALSE(model.RecordBlock(0));
    EXPECT_FALSE(model.RecordBlock(3));
}

struct FrameCase {
    std::string name;
    Bytes frame;
    Bytes reply;
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.name; }

class SimBlockFrameTest : public ::testing::TestWithParam<FrameCase> {};

// The reply always has exactly the length the frame asked for: reply length byte + 1.
TEST_P(SimBlockFrameTest, Answers) {
    auto model = KnownSensor();
    const auto& c = GetParam();
    const auto reply = model.Answer({Request::Kind::Block, c.frame});
    EXPECT_EQ(reply, c.reply);
    EXPECT_EQ(reply.size(), static_cast<std::size_t>(c.frame[2]) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SimBlockFrameTest,
    ::testing::Values(
        FrameCase{"Status", {0x03, 0x03, 0x10, 0x0A}, Reply(0, 0, kKnownStatus)},
        FrameCase{"StatusShortReply", {0x03, 0x03, 0x06, 0x0A}, Reply(0, 0, Cut(kKnownStatus, 5))},
        FrameCase{
            "StatusLongReply", {0x03, 0x03, 0x63, 0x0A}, Reply(0, 0, Padded(kKnownStatus, 98))},
        FrameCase{"StatusNoData", {0x03, 0x03, 0x01, 0x0A}, Reply(0, 0, {})},
        FrameCase{"FirstRecord", {0x03, 0x04, 0x11, 0x0B, 0x01}, Reply(0, 0, kKnownRecord1)},
        FrameCase{"LastRecord", {0x03, 0x04, 0x11, 0x0B, 0x02}, Reply(0, 0, kKnownRecord2)},
        FrameCase{"RecordZero",
                  {0x03, 0x04, 0x11, 0x0B, 0x00},
                  Reply(0, SensorModel::kCommandNoRecord, Zeros(16))},
        FrameCase{"RecordPastTheEnd",
                  {0x03, 0x04, 0x11, 0x0B, 0x03},
                  Reply(0, SensorModel::kCommandNoRecord, Zeros(16))},
        FrameCase{"Record255",
                  {0x03, 0x04, 0x11, 0x0B, 0xFF},
                  Reply(0, SensorModel::kCommandNoRecord, Zeros(16))},
        FrameCase{"RecordWithoutNumber",
                  {0x03, 0x03, 0x11, 0x0B},
                  Reply(0, SensorModel::kCommandBadPayload, Zeros(16))},
        FrameCase{"RecordWithTwoNumbers",
                  {0x03, 0x05, 0x11, 0x0B, 0x01, 0x02},
                  Reply(0, SensorModel::kCommandBadPayload, Zeros(16))},
        FrameCase{"UnknownCommand",
                  {0x03, 0x03, 0x05, 0x0C},
                  Reply(0, SensorModel::kCommandUnknown, Zeros(4))},
        FrameCase{
            "Command200", {0x03, 0x03, 0x02, 0xC8}, Reply(0, SensorModel::kCommandUnknown, {0})},
        FrameCase{
            "Command201", {0x01, 0x03, 0x02, 0xC9}, Reply(0, SensorModel::kCommandUnknown, {0})},
        FrameCase{"LowCommandWithHighType",
                  {0x01, 0x03, 0x10, 0x0A},
                  Reply(SensorModel::kLinkBadFrame, 0, Zeros(15))},
        FrameCase{"HighCommandWithLowType",
                  {0x03, 0x03, 0x02, 0xC9},
                  Reply(SensorModel::kLinkBadFrame, 0, {0})},
        FrameCase{"ReplyOfOneByte", {0x03, 0x03, 0x00, 0x0A}, {0x00}},
        FrameCase{"FrameLengthNotMatching",
                  {0x03, 0x09, 0x10, 0x0A},
                  Reply(SensorModel::kLinkBadFrame, 0, Zeros(15))}),
    [](const auto& info) { return info.param.name; });

TEST(SimSensorModelBlockTest, HeaderTooShortToAnswer) {
    SensorModel model;
    EXPECT_TRUE(model.AnswerBlock(Bytes{0x03, 0x03}).empty());
}

TEST(SimSensorModelBlockTest, RecordCountFollowsTheHistory) {
    SensorModel model;
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], model.Records().size());
    model.ClearRecords();
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], 0);
    model.AddRecord({1, sensor::kRecordTamper, 0.0f, 0.0f});
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], 1);
}

}  // namespace
}  // namespace sim
