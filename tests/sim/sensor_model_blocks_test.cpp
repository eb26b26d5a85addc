#include <gtest/gtest.h>

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

const Bytes kStatus = {0xBF, 0x80, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x11,
                       0x3F, 0x00, 0x00, 0x00, 0x00, 0xC8, 0x02};
const Bytes kRecord1 = {0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x20,
                        0x41, 0x48, 0x00, 0x00, 0xBF, 0x80, 0x00, 0x00};
const Bytes kRecord2 = {0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x03,
                        0x3F, 0x00, 0x00, 0x00, 0x3F, 0x40, 0x00, 0x00};

// The two status bytes, then `data` cut or zero-padded to `length` bytes.
Bytes Reply(std::uint8_t link, std::uint8_t command, Bytes data, std::size_t length) {
    data.resize(length, 0);
    data.insert(data.begin(), {link, command});
    return data;
}

struct FrameCase {
    std::string name;
    Bytes frame;
    Bytes reply;
};

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

constexpr auto kNoRecord = SensorModel::kCommandNoRecord;
constexpr auto kBadPayload = SensorModel::kCommandBadPayload;
constexpr auto kUnknown = SensorModel::kCommandUnknown;
constexpr auto kBadFrame = SensorModel::kLinkBadFrame;

INSTANTIATE_TEST_SUITE_P(
    Frames, SimBlockFrameTest,
    ::testing::Values(
        FrameCase{"Status", {0x03, 0x03, 0x10, 0x0A}, Reply(0, 0, kStatus, 15)},
        FrameCase{"StatusShortReply", {0x03, 0x03, 0x06, 0x0A}, Reply(0, 0, kStatus, 5)},
        FrameCase{"StatusLongestReply", {0x03, 0x03, 0x63, 0x0A}, Reply(0, 0, kStatus, 98)},
        FrameCase{"StatusNoData", {0x03, 0x03, 0x01, 0x0A}, Reply(0, 0, {}, 0)},
        FrameCase{"FirstRecord", {0x03, 0x04, 0x11, 0x0B, 0x01}, Reply(0, 0, kRecord1, 16)},
        FrameCase{"LastRecord", {0x03, 0x04, 0x11, 0x0B, 0x02}, Reply(0, 0, kRecord2, 16)},
        FrameCase{"RecordZero", {0x03, 0x04, 0x11, 0x0B, 0x00}, Reply(0, kNoRecord, {}, 16)},
        FrameCase{"RecordPastEnd", {0x03, 0x04, 0x11, 0x0B, 0x03}, Reply(0, kNoRecord, {}, 16)},
        FrameCase{"RecordNoNumber", {0x03, 0x03, 0x11, 0x0B}, Reply(0, kBadPayload, {}, 16)},
        FrameCase{"RecordTwoNumbers",
                  {0x03, 0x05, 0x11, 0x0B, 0x01, 0x02},
                  Reply(0, kBadPayload, {}, 16)},
        FrameCase{"UnknownCommand", {0x03, 0x03, 0x05, 0x0C}, Reply(0, kUnknown, {}, 4)},
        FrameCase{"Command200", {0x03, 0x03, 0x02, 0xC8}, Reply(0, kUnknown, {}, 1)},
        FrameCase{"Command201", {0x01, 0x03, 0x02, 0xC9}, Reply(0, kUnknown, {}, 1)},
        FrameCase{"LowCommandHighType", {0x01, 0x03, 0x10, 0x0A}, Reply(kBadFrame, 0, {}, 15)},
        FrameCase{"HighCommandLowType", {0x03, 0x03, 0x02, 0xC9}, Reply(kBadFrame, 0, {}, 1)},
        FrameCase{"LengthNotMatching", {0x03, 0x09, 0x10, 0x0A}, Reply(kBadFrame, 0, {}, 15)},
        FrameCase{"ReplyOfOneByte", {0x03, 0x03, 0x00, 0x0A}, {0x00}}),
    [](const auto& info) { return info.param.name; });

TEST(SimSensorModelTest, BlocksFollowTheModel) {
    auto model = KnownSensor();
    const auto status = model.StatusBlock();
    EXPECT_EQ(Bytes(status.begin(), status.end()), kStatus);
    const auto record = model.RecordBlock(2);
    ASSERT_TRUE(record);
    EXPECT_EQ(Bytes(record->begin(), record->end()), kRecord2);
    EXPECT_FALSE(model.RecordBlock(3));
    model.ClearRecords();
    EXPECT_EQ(model.StatusBlock()[sensor::kStatusRecordCount], 0);
    EXPECT_FALSE(model.RecordBlock(1));
    EXPECT_TRUE(model.AnswerBlock(Bytes{0x03, 0x03}).empty()) << "no reply length to answer";
}

}  // namespace
}  // namespace sim
