// The dialog on a line that misbehaves: a sensor that goes quiet and comes back, an adapter
// pulled out and plugged back in, noise and replies trickling in.
#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "alarm_record.h"
#include "alarm_record_format.h"
#include "comma_decimal_locale.h"
#include "link_error_box.h"
#include "live_dialog.h"
#include "resource.h"
#include "test_platform.h"
#include "tool_state.h"
#include "zeko_error_box.h"

namespace {

constexpr const char* kLost = "系统状态：连接断开!";
constexpr const char* kConnected = "系统状态：设备连接成功!";
const std::string kStatusRequest = "\x03\x03\x10\x0A";

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

    // The adapter goes, and its name with it, as a USB device node does: left in place, the name
    // would point at a pty number that another test running beside this one may take over.
    void PullAdapter() {
        Sensor().HangUp();
        if (!kWindowsBuild) std::filesystem::remove(m_portsDir / "COM3");
    }

    // The sensor on `com` reads `celsius` from now on, and polls go on until the dialog shows it:
    // under load one reply may come too late for its poll, and a lost sensor is found again
    // between them.
    bool ShowsTemperature(int celsius, int com = kCom, int limitMs = 5000) {
        DialogFixture::Sensor(com).WithModel(
            [celsius](sim::SensorModel& model) { model.SetTemperature(celsius); });
        return ProcessEventsUntil(
            [&] {
                Tick();
                return Text(IDC_TEMPERATURE) == std::to_string(celsius);
            },
            limitMs);
    }

    StatusBlock WithTemperature(int celsius) {
        StatusBlock block = QuietStatus();
        block[sensor::kStatusTemperature] = static_cast<std::uint8_t>(celsius);
        return block;
    }
};

std::string PrintedByTheCLibrary(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%3.2f", value);
    return text;
}

TEST_F(ToolFaultTest, QuietSensorShowsTheLostLinkAndStaleReadingsThenReadingsResume) {
    OpenConnected();
    // A sensor on COM4 too, from after the start-up scan: asked by that scan, it could log the
    // request late, after any clearing of its log.
    DialogFixture::Sensor(4);
    ASSERT_TRUE(ShowsTemperature(31));

    Sensor().SetSilent(true);
    for (int tick = 0; tick < 3; ++tick) Tick();
    EXPECT_EQ(Text(IDC_STATUS), kLost);
    EXPECT_EQ(Text(IDC_TEMPERATURE), "31");  // the last reading stays
    EXPECT_EQ(g_nPollFailures, 3);

    // The sensor speaks again. Under load a poll of the silence may still be on its way to it,
    // or its reply late: the readings resume within a few polls.
    Sensor().SetSilent(false);
    EXPECT_TRUE(ShowsTemperature(33));
    EXPECT_EQ(Text(IDC_STATUS), kLost);  // never restored once lost
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(RequestTexts(4), std::vector<std::string>{});  // not looked for elsewhere
}

// Where the adapter comes back: under its old name, or under the next one, as a Linux adapter
// does when its old device was still held open.
struct Replug {
    const char* name;
    int com;
};

void PrintTo(const Replug& r, std::ostream* out) { *out << r.name; }

class PulledAdapterTest : public ToolFaultTest, public testing::WithParamInterface<Replug> {};

TEST_P(PulledAdapterTest, IsReportedOnceThenTheSensorIsFoundAgainAndReadingsResume) {
    OpenConnected();
    PullAdapter();
    for (int tick = 0; tick < 4; ++tick) Tick();
    EXPECT_EQ(Text(IDC_STATUS), kLost);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].caption, "Application Error");

    if (GetParam().com == kCom) Sensor().Relink();
    // The test delivers the ticks; the scan runs meanwhile, off the window's thread.
    EXPECT_TRUE(ShowsTemperature(37, GetParam().com, 10000));
    EXPECT_EQ(Text(IDC_STATUS), kLost);  // never restored once lost
    EXPECT_EQ(m_boxes.size(), 1u);

    if (!kWindowsBuild) {  // on Windows: kLinuxErrorText
        EXPECT_NE(m_boxes[0].text.find("Input/output error"), std::string::npos) << m_boxes[0].text;
    }
}

INSTANTIATE_TEST_SUITE_P(Back, PulledAdapterTest,
                         testing::Values(Replug{"UnderItsName", 3}, Replug{"UnderTheNextName", 4}),
                         [](const testing::TestParamInfo<Replug>& info) {
                             return info.param.name;
                         });

enum class Line { Silent, Late, Pulled };

struct WaitingLine {
    const char* name;
    Line line;
};

void PrintTo(const WaitingLine& c, std::ostream* out) { *out << c.name; }

class WaitingLineTest : public ToolFaultTest, public testing::WithParamInterface<WaitingLine> {};

// While a poll waits on the line (for an answer, or for the OK of the loss box) the window goes on
// answering: its controls read, a press disables its button until its exchange has run after the
// poll, the ticks meanwhile add one poll after it, never a queue, and the box is the window
// thread's.
TEST_P(WaitingLineTest, TheWindowAnswersWhileAPollWaitsOnTheLine) {
    const Line line = GetParam().line;
    OpenConnected();
    const std::thread::id window = std::this_thread::get_id();
    std::vector<std::thread::id> boxThreads;
    SetMessageBoxHook([&](const MessageBoxRequest& box) {
        m_boxes.push_back(box);
        boxThreads.push_back(std::this_thread::get_id());
        m_dialog->SendMessage(WM_TIMER, 1, 0);
        return IDOK;
    });
    if (line == Line::Silent) Sensor().SetSilent(true);
    if (line == Line::Late) Sensor().SetReplyDelay(std::chrono::milliseconds{1500});
    if (line == Line::Pulled) PullAdapter();

    m_dialog->SendMessage(WM_TIMER, 1, 0);
    EXPECT_TRUE(m_dialog->ExchangesPending()) << "the tick waited for its poll";
    EXPECT_EQ(Text(IDC_STATUS), kConnected);
    Driver().Press(IDC_READ_VIBRATION_ALARM);
    EXPECT_FALSE(Driver().IsEnabled(IDC_READ_VIBRATION_ALARM));
    Driver().Press(IDC_READ_VIBRATION_ALARM);
    for (int tick = 0; tick < 3; ++tick) m_dialog->SendMessage(WM_TIMER, 1, 0);
    WaitForExchanges();
    EXPECT_TRUE(Driver().IsEnabled(IDC_READ_VIBRATION_ALARM));

    const std::vector<std::string> received = Received();
    const auto polls = std::count(received.begin(), received.end(), kStatusRequest);
    // The poll the ticks left due may find the link given up after the read, and send nothing.
    EXPECT_LE(polls, line == Line::Pulled ? 0 : 2);
    EXPECT_EQ(std::count(received.begin(), received.end(), "P10;"),
              static_cast<long>(received.size()) - polls);
    if (!received.empty()) {
        EXPECT_EQ(received.front(), kStatusRequest);
    }
    EXPECT_EQ(m_boxes.size(), line == Line::Pulled ? 1u : 0u);
    for (const std::thread::id thread : boxThreads) EXPECT_EQ(thread, window);
}

INSTANTIATE_TEST_SUITE_P(Tables, WaitingLineTest,
                         testing::Values(WaitingLine{"Silent", Line::Silent},
                                         WaitingLine{"AnswersLate", Line::Late},
                                         WaitingLine{"AdapterPulled", Line::Pulled}),
                         [](const testing::TestParamInfo<WaitingLine>& info) {
                             return info.param.name;
                         });

// Stray bytes waiting when a poll starts are discarded as its request goes out: neither that
// poll nor the ones after it show shifted readings.
TEST_F(ToolFaultTest, NoiseBetweenPollsIsDiscarded) {
    OpenConnected();
    Sensor().SendRaw({0x00, 0x00, 0x7F, ';', 0xFF});
    ProcessEventsFor(100);
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
    sim::Reply reply = Raw(std::vector<std::uint8_t>{0, 0});
    reply.bytes.insert(reply.bytes.end(), block.begin(), block.end());
    reply.byteGap = std::chrono::milliseconds{20};
    Sensor().Script(reply);
    Tick();
    EXPECT_EQ(Text(IDC_TEMPERATURE), "44");
    EXPECT_EQ(g_nPollFailures, 0);
}

TEST_F(ToolFaultTest, GarbledThresholdRepliesLeaveTheEditAlone) {
    OpenConnected();
    Driver().Type(IDC_VIBRATION_ALARM, "0.42");
    for (const char* garbage : {"P10=ERR;", "P10=12x;"}) Sensor().Script(Raw(garbage));
    Press(IDC_READ_VIBRATION_ALARM);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.42");

    Sensor().Script(Kind(sim::Reply::Kind::Overflow));
    Sensor().Script(Kind(sim::Reply::Kind::Overflow));
    Press(IDC_READ_VIBRATION_ALARM);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.42");
    EXPECT_TRUE(m_boxes.empty());
}

// Readings, thresholds and history lines keep a decimal point under a locale that writes numbers
// with a comma, so the threshold the dialog shows is one its "设置" accepts.
TEST_F(ToolFaultTest, ACommaDecimalLocaleLeavesEveryNumberWithAPoint) {
    CommaDecimalLocale locale;
    ASSERT_TRUE(locale.Adopted()) << locale.Output();
    ASSERT_EQ(PrintedByTheCLibrary(0.5), "0,50");

    OpenConnected();
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.50");
    ScriptStatus(QuietStatus());
    Tick();
    EXPECT_EQ(Text(IDC_VIBRATION), "0.08");

    Sensor().ClearLog();
    Press(IDC_SET_VIBRATION_ALARM);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(Received(), std::vector<std::string>{
                              "P10=" + std::to_string(std::bit_cast<std::int32_t>(0.5f)) + ";"});

    const sim::RecordBytes record =
        sim::Encode({.typeFlags = sensor::kRecordEnergy, .firstValue = 12.5f});
    EXPECT_EQ(FormatAlarmRecord(7, record.data()).str(),
              "  7        能量累计       12.50           NULL");
}

}  // namespace
