// The dialog on a line that misbehaves: a sensor that goes quiet and comes back, an adapter
// pulled out and plugged back in, noise and replies trickling in.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link_error_box.h"
#include "live_dialog.h"
#include "zeko_error_box.h"
#include "resource.h"
#include "tool_state.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kLost = "系统状态：连接断开!";
constexpr const char* kConnected = "系统状态：设备连接成功!";

class ToolFaultTest : public LiveDialogTest {
protected:
    void SetUp() override {
        LiveDialogTest::SetUp();
        InstallLinkErrorBox();
    }
    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        LiveDialogTest::TearDown();
    }

    StatusBlock WithTemperature(int celsius) {
        StatusBlock block = QuietStatus();
        block[sensor::kStatusTemperature] = static_cast<std::uint8_t>(celsius);
        return block;
    }
};

TEST_F(ToolFaultTest, QuietSensorShowsTheLostLinkAndStaleReadingsThenReadingsResume) {
    OpenConnected();
    ScriptStatus(WithTemperature(31));
    Tick();
    ASSERT_EQ(Text(IDC_TEMPERATURE), "31");

    Sensor().SetSilent(true);
    for (int tick = 0; tick < 3; ++tick) Tick();
    EXPECT_EQ(Text(IDC_STATUS), kLost);
    EXPECT_EQ(Text(IDC_TEMPERATURE), "31");  // the last reading stays
    EXPECT_EQ(g_nPollFailures, 3);

    Sensor().SetSilent(false);
    ScriptStatus(WithTemperature(33));
    Tick();
    EXPECT_EQ(Text(IDC_TEMPERATURE), "33");
    EXPECT_EQ(Text(IDC_STATUS), kLost);  // never restored once lost
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(ToolFaultTest, PulledAdapterIsReportedOnceAndPollsFailQuietlyAfterwards) {
    OpenConnected();
    Sensor().HangUp();
    for (int tick = 0; tick < 4; ++tick) Tick();
    EXPECT_EQ(Text(IDC_STATUS), kLost);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, "Application Error");
    EXPECT_NE(boxes_[0].text.find("Input/output error"), std::string::npos) << boxes_[0].text;

    // Plugged back in: the tool holds the old port and never opens again, as designed; it keeps
    // showing the lost link without more boxes.
    Sensor().Relink();
    Tick();
    EXPECT_EQ(Text(IDC_STATUS), kLost);
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(Received().empty());
}

// Stray bytes waiting when a poll starts are discarded as its request goes out: neither that
// poll nor the ones after it show shifted readings.
TEST_F(ToolFaultTest, NoiseBetweenPollsIsDiscarded) {
    OpenConnected();
    Sensor().SendRaw({0x00, 0x00, 0x7F, ';', 0xFF});
    std::this_thread::sleep_for(100ms);
    ScriptStatus(WithTemperature(40));
    Tick();
    EXPECT_EQ(Text(IDC_TEMPERATURE), "40");
    ScriptStatus(WithTemperature(41));
    Tick();
    EXPECT_EQ(Text(IDC_TEMPERATURE), "41");
    EXPECT_EQ(g_nPollFailures, 0);
    EXPECT_EQ(Text(IDC_STATUS), kConnected);
}

TEST_F(ToolFaultTest, StatusTricklingInByteByByteIsShown) {
    OpenConnected();
    StatusBlock block = WithTemperature(44);
    sim::Reply reply;
    reply.kind = sim::Reply::Kind::Raw;
    reply.bytes = {0, 0};
    reply.bytes.insert(reply.bytes.end(), block.begin(), block.end());
    reply.byteGap = 20ms;
    Sensor().Script(reply);
    Tick();
    EXPECT_EQ(Text(IDC_TEMPERATURE), "44");
    EXPECT_EQ(g_nPollFailures, 0);
}

TEST_F(ToolFaultTest, GarbledThresholdRepliesLeaveTheEditAlone) {
    OpenConnected();
    SetText(IDC_VIBRATION_ALARM, "0.42");
    for (const char* garbage : {"P10=ERR;", "P10=12x;"}) {
        Sensor().Script([&] {
            sim::Reply reply;
            reply.kind = sim::Reply::Kind::Raw;
            reply.bytes.assign(garbage, garbage + std::char_traits<char>::length(garbage));
            return reply;
        }());
    }
    Press(IDC_READ_VIBRATION_ALARM);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.42");

    sim::Reply flood;
    flood.kind = sim::Reply::Kind::Overflow;
    Sensor().Script(flood);
    Sensor().Script(flood);
    Press(IDC_READ_VIBRATION_ALARM);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.42");
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
