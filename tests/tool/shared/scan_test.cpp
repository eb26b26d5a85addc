// The start-up scan against simulated sensors on ptys: the first port whose device answers with
// the sensor's identity wins, its thresholds fill the edits and sliders, and the poll timer
// starts; with no sensor the status line shows the last code and every button is disabled.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "resource.h"
#include "test_platform.h"

namespace {

constexpr int kButtons[] = {1002, 1003, 1009, 1011, 1013, 1014, 1015,
                            1020, 1025, 1026, 1027, 1029, 1030};

class ScanTest : public DialogFixture {
protected:
    int SliderPosition(int id) { return Driver().SliderPosition(id); }
    int PollPeriod() { return Driver().TimerPeriod(1); }
};

struct Thresholds {
    float vibration;
    int movement;
    const char* vibrationText;
    int vibrationPosition;
    const char* movementText;
    int movementPosition;
};

void PrintTo(const Thresholds& t, std::ostream* out) {
    *out << t.vibration << " G, " << t.movement << " degrees/s";
}

class ThresholdTest : public ScanTest, public testing::WithParamInterface<Thresholds> {};

}  // namespace

// The ports are asked at once, so COM4 may have been asked for its identity too, but nothing
// more.
TEST_F(ScanTest, FindsTheSensorOnCom3AfterCom1AndCom2AndAsksCom4NothingButItsIdentity) {
    Sensor(2).SetSilent(true);
    Sensor(3);
    Sensor(4);
    CToolsDlg& dialog = OpenMainDialog();

    EXPECT_EQ(Text(IDC_STATUS), "系统状态：设备连接成功!");
    EXPECT_FALSE(Sensor(2).Requests().empty());  // COM2 was asked and kept silent
    EXPECT_FALSE(Sensor(3).Requests().empty());
    for (const std::string& request : RequestTexts(4)) EXPECT_EQ(request, "P8;");
    for (int id : kButtons) {
        const bool cancel = id == IDC_CANCEL_LEARN_VIBRATION || id == IDC_CANCEL_LEARN_MOVEMENT;
        EXPECT_EQ(Driver().IsEnabled(id), !cancel) << id;
    }
    EXPECT_EQ(PollPeriod(), 100);
    EXPECT_EQ(dialog.m_nTemperature, 25);
    EXPECT_EQ(dialog.m_fVibrationAlarm, 0.0f);  // the thresholds read show only in the edits
    EXPECT_EQ(dialog.m_nMovementAlarm, 0);
    EXPECT_EQ(Text(IDC_VIBRATION), "0");
}

TEST_P(ThresholdTest, ThresholdsFillTheEditsAndSliders) {
    const Thresholds& t = GetParam();
    Sensor(3).WithModel([&](sim::SensorModel& model) {
        model.SetVibrationThreshold(t.vibration);
        model.SetMovementThreshold(t.movement);
    });
    OpenMainDialog();
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), t.vibrationText);
    EXPECT_EQ(SliderPosition(IDC_SLIDER_VIBRATION), t.vibrationPosition);
    EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), t.movementText);
    EXPECT_EQ(SliderPosition(IDC_SLIDER_MOVEMENT), t.movementPosition);
}

INSTANTIATE_TEST_SUITE_P(Values, ThresholdTest,
                         testing::Values(Thresholds{0.5f, 200, "0.50", 50, "200", 100},
                                         Thresholds{1.0f, 199, "1.00", 100, "199", 99},
                                         Thresholds{0.29f, 1, "0.29", 28, "1", 0},
                                         Thresholds{3.0f, -20, "3.00", 100, "-20", 0}),
                         [](const testing::TestParamInfo<Thresholds>& info) {
                             std::string name = std::string("Vibration") +
                                                info.param.vibrationText + "Movement" +
                                                info.param.movementText;
                             std::replace(name.begin(), name.end(), '.', '_');
                             std::replace(name.begin(), name.end(), '-', 'm');
                             return name;
                         });

// Silent ports cost the scan their timeouts once, not once each: every one of them was asked
// for the first time before any was asked for the last time.
TEST_F(ScanTest, FindsTheSensorOnCom16AskingTheFifteenSilentPortsBeforeItAtOnce) {
    for (int com = 1; com < 16; ++com) Sensor(com).SetSilent(true);
    Sensor(16);
    OpenMainDialog();
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：设备连接成功!");
    auto lastFirst = std::chrono::steady_clock::time_point::min();
    auto firstLast = std::chrono::steady_clock::time_point::max();
    // Under Wine COM1 may be this machine's own serial port, silent but not the test's to read.
    for (int com = kWindowsBuild ? 2 : 1; com < 16; ++com) {
        const std::vector<sim::Received> requests = Sensor(com).Requests();
        ASSERT_FALSE(requests.empty()) << com;
        lastFirst = std::max(lastFirst, requests.front().at);
        firstLast = std::min(firstLast, requests.back().at);
    }
    EXPECT_LT(lastFirst, firstLast);
}

TEST_F(ScanTest, AFailedThresholdReadLeavesEditAndSliderAlone) {
    const sim::Reply silence = Kind(sim::Reply::Kind::Silence);
    for (int answered = 0; answered < 5; ++answered) {
        Sensor(3).Script({});  // the identity, read twice by the scan and twice on opening, and 10
    }
    Sensor(3).Script(silence);  // parameter 11, both attempts
    Sensor(3).Script(silence);
    OpenMainDialog();
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：设备连接成功!");
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.50");
    EXPECT_EQ(SliderPosition(IDC_SLIDER_VIBRATION), 50);
    EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), "0");
    EXPECT_EQ(SliderPosition(IDC_SLIDER_MOVEMENT), 0);
    EXPECT_NE(PollPeriod(), 0);
}

TEST_F(ScanTest, WithoutSensorTheLastPortsCodeIsShownAndEveryButtonDisabled) {
    Sensor(16).SetSilent(true);  // a device that never answers: code 10
    CToolsDlg& dialog = OpenMainDialog();
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：未连接，未发现在线设备!ERR:10");
    for (int id : kButtons) {
        EXPECT_FALSE(Driver().IsEnabled(id)) << id;
    }
    EXPECT_TRUE(Driver().IsEnabled(IDC_SLIDER_VIBRATION));
    EXPECT_TRUE(Driver().IsEnabled(IDC_MOVEMENT_ALARM));
    EXPECT_EQ(PollPeriod(), 0);
    EXPECT_EQ(dialog.m_nTemperature, 0);
}

TEST_F(ScanTest, ASensorOnCom17IsNotFound) {
    Sensor(17);
    OpenMainDialog();
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：未连接，未发现在线设备!ERR:9");
    EXPECT_TRUE(Sensor(17).ReceivedBytes().empty());
}
