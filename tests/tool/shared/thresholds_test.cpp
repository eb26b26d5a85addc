// The alarm thresholds and the sensor's learning, against a simulated sensor: the sliders fill
// the threshold edits and send nothing, "设置" writes what the edit holds unless the exchange or
// the zero check refuses it, "读阀值" shows the sensor's value, and each learning button starts
// learning, then saves the learned value, which reaches the threshold edit only if the sensor
// accepted the save. What was sent is read back on the sensor's side.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "cwin_app.h"
#include "live_dialog.h"
#include "resource.h"
#include "tool_state.h"

namespace {

using Requests = std::vector<std::string>;

constexpr const char* kZeroThreshold = "报警阀值不能设置为0!";
const std::string kStatusRequest = "\x03\x03\x10\x0A";

class ThresholdsTest : public LiveDialogTest {
protected:
    int SliderPosition(int id) { return Driver().SliderPosition(id); }
    void Scroll(int slider, int position, SliderKey key) {
        m_dialog->GetDlgItem(slider)->SendMessage(TBM_SETPOS, TRUE, position);
        Driver().PressKey(slider, key);
    }
};

std::string TwoDecimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// A slider moved by a key: where it starts, the key, and what its threshold edit then shows.
struct SliderCase {
    const char* name;
    int slider;
    int start;
    SliderKey key;
    int edit;
    const char* text;
};

void PrintTo(const SliderCase& c, std::ostream* out) { *out << c.name; }

class SliderTest : public ThresholdsTest, public testing::WithParamInterface<SliderCase> {};

const SliderCase kSliders[] = {
    {"VibrationAt0", IDC_SLIDER_VIBRATION, 50, SliderKey::Home, IDC_VIBRATION_ALARM, "0.00"},
    {"VibrationAt57", IDC_SLIDER_VIBRATION, 56, SliderKey::Right, IDC_VIBRATION_ALARM, "0.57"},
    {"VibrationAt100", IDC_SLIDER_VIBRATION, 50, SliderKey::End, IDC_VIBRATION_ALARM, "1.00"},
    {"MovementAt0", IDC_SLIDER_MOVEMENT, 50, SliderKey::Home, IDC_MOVEMENT_ALARM, "0"},
    {"MovementAt37", IDC_SLIDER_MOVEMENT, 38, SliderKey::Left, IDC_MOVEMENT_ALARM, "74"},
    {"MovementAt100", IDC_SLIDER_MOVEMENT, 50, SliderKey::End, IDC_MOVEMENT_ALARM, "200"},
};

// "设置" pressed with the two threshold edits holding these texts.
enum class Box { None, Zero, Prompt };

struct SetCase {
    const char* name;
    const char* vibration;
    const char* movement;
    int button;
    Requests sent;
    Box box;
};

void PrintTo(const SetCase& c, std::ostream* out) { *out << c.name; }

class SetTest : public ThresholdsTest, public testing::WithParamInterface<SetCase> {};

const SetCase kSets[] = {
    {"VibrationHalf", "0.5", "100", IDC_SET_VIBRATION_ALARM, {"P10=1056964608;"}, Box::None},
    {"VibrationOne", "1", "100", IDC_SET_VIBRATION_ALARM, {"P10=1065353216;"}, Box::None},
    {"VibrationZero", "0.00", "100", IDC_SET_VIBRATION_ALARM, {}, Box::Zero},
    {"VibrationNegativeZero", "-0.0", "100", IDC_SET_VIBRATION_ALARM, {}, Box::Zero},
    {"VibrationAboveOne", "1.5", "100", IDC_SET_VIBRATION_ALARM, {}, Box::Prompt},
    {"VibrationNoNumber", "abc", "100", IDC_SET_VIBRATION_ALARM, {}, Box::Prompt},
    {"MovementOutOfRangeStopsVibration", "0.5", "201", IDC_SET_VIBRATION_ALARM, {}, Box::Prompt},
    {"Movement150", "0.5", "150", IDC_SET_MOVEMENT_ALARM, {"P11=150;"}, Box::None},
    {"MovementZero", "0.5", "0", IDC_SET_MOVEMENT_ALARM, {}, Box::Zero},
    {"Movement201", "0.5", "201", IDC_SET_MOVEMENT_ALARM, {}, Box::Prompt},
    {"MovementMinusOne", "0.5", "-1", IDC_SET_MOVEMENT_ALARM, {}, Box::Prompt},
    {"VibrationOutOfRangeStopsMovement", "1.5", "150", IDC_SET_MOVEMENT_ALARM, {}, Box::Prompt},
};

// "读阀值" with the sensor holding a threshold.
struct ReadCase {
    const char* name;
    std::function<void(sim::SensorModel&)> hold;
    int button;
    const char* sent;
    int edit;
    const char* text;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadTest : public ThresholdsTest, public testing::WithParamInterface<ReadCase> {};

const ReadCase kReads[] = {
    {"VibrationJustBelow029", [](sim::SensorModel& m) { m.SetVibrationThreshold(0.29f); },
     IDC_READ_VIBRATION_ALARM, "P10;", IDC_VIBRATION_ALARM, "0.29"},
    {"VibrationThreeDecimals", [](sim::SensorModel& m) { m.SetVibrationThreshold(0.123f); },
     IDC_READ_VIBRATION_ALARM, "P10;", IDC_VIBRATION_ALARM, "0.12"},
    {"Movement200", [](sim::SensorModel& m) { m.SetMovementThreshold(200); },
     IDC_READ_MOVEMENT_ALARM, "P11;", IDC_MOVEMENT_ALARM, "200"},
    {"MovementNegative", [](sim::SensorModel& m) { m.SetMovementThreshold(-20); },
     IDC_READ_MOVEMENT_ALARM, "P11;", IDC_MOVEMENT_ALARM, "-20"},
    {"MovementBeyond16Bits", [](sim::SensorModel& m) { m.SetMovementThreshold(70000); },
     IDC_READ_MOVEMENT_ALARM, "P11;", IDC_MOVEMENT_ALARM, "70000"},
};

// One learning channel: its buttons, its parameter, its edits and a learned value to offer.
struct Channel {
    const char* name;
    int learn;
    int cancel;
    int parameter;
    int learnedEdit;
    int alarmEdit;
    std::function<void(sim::SensorModel&)> learnt;
    const char* learntText;
    BYTE* flag;
    std::function<bool(const sim::SensorModel&)> learning;
};

void PrintTo(const Channel& c, std::ostream* out) { *out << c.name; }

const Channel kChannels[] = {
    {"Vibration", IDC_LEARN_VIBRATION, IDC_CANCEL_LEARN_VIBRATION, 12, IDC_AUTO_VIBRATION,
     IDC_VIBRATION_ALARM, [](sim::SensorModel& m) { m.SetLearnedVibration(0.37f); }, "0.37",
     &g_bLearnVibration, [](const sim::SensorModel& m) { return m.LearningVibration(); }},
    {"Movement", IDC_LEARN_MOVEMENT, IDC_CANCEL_LEARN_MOVEMENT, 13, IDC_AUTO_MOVEMENT,
     IDC_MOVEMENT_ALARM, [](sim::SensorModel& m) { m.SetLearnedMovement(64); }, "64",
     &g_bLearnMovement, [](const sim::SensorModel& m) { return m.LearningMovement(); }},
};

std::string Write(int parameter, int value) {
    return "P" + std::to_string(parameter) + "=" + std::to_string(value) + ";";
}

class LearningFixture : public ThresholdsTest {
protected:
    bool SensorLearns(const Channel& c) {
        bool learns = false;
        Sensor().WithModel([&](sim::SensorModel& model) { learns = c.learning(model); });
        return learns;
    }
    // The button's caption, the cancel button and the flag all say whether the channel learns.
    void ExpectLearning(const Channel& c, bool learning) {
        EXPECT_EQ(Text(c.learn), learning ? "保存" : "开始");
        EXPECT_EQ(Driver().IsEnabled(c.cancel), learning);
        EXPECT_EQ(*c.flag, learning ? 1 : 0);
    }
};

class LearnTest : public LearningFixture, public testing::WithParamInterface<Channel> {};

// How a save goes wrong: the sensor stopped learning by itself and refuses, or it is silent.
enum class SaveFailure { Refused, Silent };

void PrintTo(SaveFailure failure, std::ostream* out) {
    *out << (failure == SaveFailure::Refused ? "Refused" : "Silent");
}

class SaveFailureTest : public LearningFixture,
                        public testing::WithParamInterface<std::tuple<Channel, SaveFailure>> {};

}  // namespace

TEST_P(SliderTest, TheSliderFillsItsThresholdEditAndSendsNothing) {
    const SliderCase& c = GetParam();
    CToolsDlg& dialog = OpenConnected();
    Scroll(c.slider, c.start, c.key);
    EXPECT_EQ(Text(c.edit), c.text);
    if (c.edit == IDC_VIBRATION_ALARM) {
        EXPECT_NEAR(dialog.m_fVibrationAlarm, std::stod(c.text), 1e-6);
    } else {
        EXPECT_EQ(dialog.m_nMovementAlarm, std::stoi(c.text));
    }
    EXPECT_TRUE(Received().empty());
}

INSTANTIATE_TEST_SUITE_P(Tables, SliderTest, testing::ValuesIn(kSliders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ThresholdsTest, EveryPositionShowsItsThreshold) {
    OpenConnected();
    Scroll(IDC_SLIDER_VIBRATION, 50, SliderKey::Home);
    Scroll(IDC_SLIDER_MOVEMENT, 50, SliderKey::Home);
    for (int position = 1; position <= 100; ++position) {
        Driver().PressKey(IDC_SLIDER_VIBRATION, SliderKey::Right);
        Driver().PressKey(IDC_SLIDER_MOVEMENT, SliderKey::Right);
        ASSERT_EQ(SliderPosition(IDC_SLIDER_VIBRATION), position);
        EXPECT_EQ(Text(IDC_VIBRATION_ALARM), TwoDecimals(position / 100.0)) << position;
        EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), std::to_string(position * 2)) << position;
    }
    EXPECT_TRUE(Received().empty());
}

TEST_F(ThresholdsTest, EveryScrollCodeFillsTheEdit) {
    CToolsDlg& dialog = OpenConnected();
    for (UINT code = TB_LINEUP; code <= TB_ENDTRACK; ++code) {
        SetText(IDC_VIBRATION_ALARM, "");
        SetText(IDC_MOVEMENT_ALARM, "");
        for (int slider : {IDC_SLIDER_VIBRATION, IDC_SLIDER_MOVEMENT}) {
            CWnd* control = dialog.GetDlgItem(slider);
            control->SendMessage(TBM_SETPOS, TRUE, 42);
            dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(code, 42),
                               reinterpret_cast<LPARAM>(control->GetSafeHwnd()));
        }
        EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.42") << code;
        EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), "84") << code;
    }
    // A scroll that names no slider changes nothing.
    dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), 0);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.42");
    EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), "84");
}

TEST_F(ThresholdsTest, WithoutSensorTheSlidersStillFillTheEdits) {
    OpenMainDialog();
    Scroll(IDC_SLIDER_VIBRATION, 0, SliderKey::End);
    Scroll(IDC_SLIDER_MOVEMENT, 0, SliderKey::End);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "1.00");
    EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), "200");
    EXPECT_FALSE(Driver().IsEnabled(IDC_SET_VIBRATION_ALARM));
    EXPECT_FALSE(Driver().IsEnabled(IDC_SET_MOVEMENT_ALARM));
}

TEST_P(SetTest, WritesTheEditsValueUnlessRefused) {
    const SetCase& c = GetParam();
    CToolsDlg& dialog = OpenConnected();
    Driver().Type(IDC_VIBRATION_ALARM, c.vibration);
    Driver().Type(IDC_MOVEMENT_ALARM, c.movement);
    Press(c.button);

    EXPECT_EQ(Received(), c.sent);
    switch (c.box) {
        case Box::None:
            EXPECT_TRUE(m_boxes.empty());
            break;
        case Box::Zero:
            ASSERT_EQ(m_boxes.size(), 1u);
            EXPECT_EQ(m_boxes[0].text, kZeroThreshold);
            EXPECT_EQ(m_boxes[0].caption, AfxGetAppName());
            EXPECT_EQ(m_boxes[0].type, MB_OK);
            break;
        case Box::Prompt:
            ASSERT_EQ(m_boxes.size(), 1u);
            EXPECT_NE(m_boxes[0].text, kZeroThreshold);
            break;
    }
    if (!c.sent.empty()) {
        Sensor().WithModel([&](sim::SensorModel& model) {
            if (c.button == IDC_SET_VIBRATION_ALARM) {
                EXPECT_EQ(model.VibrationThreshold(), std::stof(c.vibration));
            } else {
                EXPECT_EQ(model.MovementThreshold(), std::stoi(c.movement));
            }
        });
    }
    EXPECT_EQ(SliderPosition(IDC_SLIDER_VIBRATION), 50);  // where the scan put them
    EXPECT_EQ(SliderPosition(IDC_SLIDER_MOVEMENT), 50);
    EXPECT_EQ(dialog.m_fVibration, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Tables, SetTest, testing::ValuesIn(kSets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ReadTest, ShowsTheSensorsThresholdInTheEditOnly) {
    const ReadCase& c = GetParam();
    CToolsDlg& dialog = OpenConnected();
    Sensor().WithModel(c.hold);
    Press(c.button);
    EXPECT_EQ(Received(), Requests{c.sent});
    EXPECT_EQ(Text(c.edit), c.text);
    EXPECT_EQ(dialog.m_fVibrationAlarm, 0.0f);  // as the scan left them
    EXPECT_EQ(dialog.m_nMovementAlarm, 0);
    EXPECT_EQ(SliderPosition(IDC_SLIDER_VIBRATION), 50);
    EXPECT_EQ(SliderPosition(IDC_SLIDER_MOVEMENT), 50);
    EXPECT_TRUE(m_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Tables, ReadTest, testing::ValuesIn(kReads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ThresholdsTest, AFailedReadKeepsTheEditAndSaysNothing) {
    OpenConnected();
    Sensor().SetSilent(true);
    Press(IDC_READ_VIBRATION_ALARM);
    Press(IDC_READ_MOVEMENT_ALARM);
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.50");
    EXPECT_EQ(Text(IDC_MOVEMENT_ALARM), "100");
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_FALSE(Received().empty());
}

// The value read goes back to the sensor as the edit shows it, rounded to two decimals.
TEST_F(ThresholdsTest, ASetAfterAReadWritesTheShownValue) {
    OpenConnected();
    Sensor().WithModel([](sim::SensorModel& model) { model.SetVibrationThreshold(0.123f); });
    Press(IDC_READ_VIBRATION_ALARM);
    Press(IDC_SET_VIBRATION_ALARM);
    EXPECT_EQ(Received(), (Requests{"P10;", Write(10, std::bit_cast<std::int32_t>(0.12f))}));
}

TEST_F(ThresholdsTest, FactoryCalibrationSendsParameter17FromItsHiddenButton) {
    CToolsDlg& dialog = OpenConnected();
    EXPECT_FALSE(Driver().IsVisible(IDC_FACTORY_CALIBRATION));
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FACTORY_CALIBRATION, BN_CLICKED), 0);
    WaitForExchanges();
    EXPECT_EQ(Received(), Requests{"P17=1;"});
    Sensor().WithModel([](sim::SensorModel& model) { EXPECT_EQ(model.Calibrations(), 1); });
    EXPECT_FALSE(Driver().IsVisible(IDC_FACTORY_CALIBRATION));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_P(LearnTest, StartShowsTheLearnedValueAndSaveMakesItTheThreshold) {
    const Channel& c = GetParam();
    CToolsDlg& dialog = OpenConnected();
    const std::string alarmBefore = Text(c.alarmEdit);
    ExpectLearning(c, false);

    Press(c.learn);
    ExpectLearning(c, true);
    EXPECT_TRUE(SensorLearns(c));

    Sensor().WithModel(c.learnt);
    Tick();
    EXPECT_EQ(Text(c.learnedEdit), c.learntText);
    EXPECT_EQ(Text(c.alarmEdit), alarmBefore);

    Press(c.learn);
    ExpectLearning(c, false);
    EXPECT_FALSE(SensorLearns(c));
    EXPECT_EQ(Text(c.alarmEdit), c.learntText);
    EXPECT_EQ(Text(c.learnedEdit), c.learntText);
    EXPECT_EQ(Received(), (Requests{Write(c.parameter, 1), kStatusRequest, Write(c.parameter, 2)}));
    // Only the edit shows it: member and slider wait for the operator.
    EXPECT_EQ(dialog.m_fVibrationAlarm, 0.0f);
    EXPECT_EQ(dialog.m_nMovementAlarm, 0);
    EXPECT_EQ(SliderPosition(IDC_SLIDER_VIBRATION), 50);
    EXPECT_EQ(SliderPosition(IDC_SLIDER_MOVEMENT), 50);
}

TEST_P(LearnTest, CancelStopsLearningAndKeepsTheThreshold) {
    const Channel& c = GetParam();
    OpenConnected();
    const std::string alarmBefore = Text(c.alarmEdit);
    Press(c.learn);
    Press(c.cancel);
    ExpectLearning(c, false);
    EXPECT_FALSE(SensorLearns(c));
    EXPECT_EQ(Text(c.alarmEdit), alarmBefore);
    EXPECT_EQ(Received(), (Requests{Write(c.parameter, 1), Write(c.parameter, 0)}));
}

INSTANTIATE_TEST_SUITE_P(Channels, LearnTest, testing::ValuesIn(kChannels),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(SaveFailureTest, AFailedSaveLeavesTheThresholdEditButEndsLearning) {
    const auto& [c, failure] = GetParam();
    OpenConnected();
    const std::string alarmBefore = Text(c.alarmEdit);
    Press(c.learn);
    Sensor().WithModel(c.learnt);
    Tick();
    if (failure == SaveFailure::Refused) {
        Sensor().WithModel([&](sim::SensorModel& model) { model.WriteParameter(c.parameter, 0); });
    } else {
        Sensor().SetSilent(true);
    }
    Press(c.learn);
    ExpectLearning(c, false);
    EXPECT_EQ(Text(c.alarmEdit), alarmBefore);
    EXPECT_EQ(Text(c.learnedEdit), c.learntText);
    EXPECT_EQ(Received().back(), Write(c.parameter, 2));
    EXPECT_TRUE(m_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Channels, SaveFailureTest,
                         testing::Combine(testing::ValuesIn(kChannels),
                                          testing::Values(SaveFailure::Refused,
                                                          SaveFailure::Silent)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == SaveFailure::Refused ? "Refused"
                                                                                     : "Silent");
                         });

// The dialog changes state before it writes, so a dead link does not keep it from learning.
TEST_F(ThresholdsTest, LearningStartsAndEndsEvenWithTheSensorSilent) {
    OpenConnected();
    Sensor().SetSilent(true);
    Press(IDC_LEARN_VIBRATION);
    EXPECT_EQ(Text(IDC_LEARN_VIBRATION), "保存");
    EXPECT_TRUE(Driver().IsEnabled(IDC_CANCEL_LEARN_VIBRATION));
    Press(IDC_LEARN_VIBRATION);
    EXPECT_EQ(Text(IDC_LEARN_VIBRATION), "开始");
    EXPECT_EQ(Text(IDC_VIBRATION_ALARM), "0.50");
    EXPECT_EQ(Received().front(), Write(12, 1));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ThresholdsTest, BothChannelsLearnIndependently) {
    OpenConnected();
    Press(IDC_LEARN_VIBRATION);
    Press(IDC_LEARN_MOVEMENT);
    Press(IDC_CANCEL_LEARN_VIBRATION);
    Sensor().WithModel([](sim::SensorModel& model) {
        model.SetLearnedVibration(0.37f);
        model.SetLearnedMovement(64);
    });
    Tick();
    EXPECT_EQ(Text(IDC_LEARN_VIBRATION), "开始");
    EXPECT_EQ(Text(IDC_LEARN_MOVEMENT), "保存");
    EXPECT_EQ(Text(IDC_AUTO_VIBRATION), "0");  // no longer shown once idle
    EXPECT_EQ(Text(IDC_AUTO_MOVEMENT), "64");
    Sensor().WithModel([](sim::SensorModel& model) {
        EXPECT_FALSE(model.LearningVibration());
        EXPECT_TRUE(model.LearningMovement());
    });
}
