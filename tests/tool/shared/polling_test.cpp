// The live status poll against a simulated sensor: each tick asks for the status block and shows
// its fields, the learned thresholds only while learning, the record counter and the lamps; a
// failed poll shows nothing new, and from the third failure in a row the status line says the
// link is lost for good. Slow answers make polls rarer, never queued.
#include <algorithm>
#include <bit>
#include <chrono>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "big_endian.h"
#include "live_dialog.h"
#include "resource.h"
#include "tool_state.h"

namespace {

using std::chrono::milliseconds;

const std::string kStatusRequest = "\x03\x03\x10\x0A";
constexpr const char* kConnected = "系统状态：设备连接成功!";
constexpr const char* kLost = "系统状态：连接断开!";
constexpr int kLamps[] = {IDC_LAMP_VIBRATION, IDC_LAMP_MOVEMENT, IDC_LAMP_TEMPERATURE,
                          IDC_LAMP_TAMPER, IDC_LAMP_VOLTAGE};

class PollingTest : public LiveDialogTest {};

std::string CaseName(const char* name) { return name; }

// One field of the status block, as its bytes and as the dialog shows them.
struct FieldCase {
    const char* name;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
    int control;
    const char* text;
};

void PrintTo(const FieldCase& c, std::ostream* out) { *out << c.name; }

class PollFieldTest : public PollingTest, public testing::WithParamInterface<FieldCase> {};

const FieldCase kFields[] = {
    {"VibrationMinusOne", sensor::kStatusVibration, {0xBF, 0x80, 0, 0}, IDC_VIBRATION, "0.01"},
    {"VibrationNaN", sensor::kStatusVibration, {0x7F, 0xC0, 0, 0}, IDC_VIBRATION, "0.01"},
    {"VibrationNegativeNaN", sensor::kStatusVibration, {0xFF, 0xC0, 0, 0}, IDC_VIBRATION, "0.01"},
    {"VibrationMinusInfinity", sensor::kStatusVibration, {0xFF, 0x80, 0, 0}, IDC_VIBRATION, "0.01"},
    {"VibrationZero", sensor::kStatusVibration, {0, 0, 0, 0}, IDC_VIBRATION, "0.00"},
    {"VibrationNegativeZero", sensor::kStatusVibration, {0x80, 0, 0, 0}, IDC_VIBRATION, "-0.00"},
    {"VibrationHalf", sensor::kStatusVibration, {0x3F, 0, 0, 0}, IDC_VIBRATION, "0.50"},
    {"MovementMinusTwo", sensor::kStatusMovement, {0xFF, 0xFE}, IDC_MOVEMENT, "-2"},
    {"Movement200", sensor::kStatusMovement, {0x00, 0xC8}, IDC_MOVEMENT, "200"},
    {"MovementLowest", sensor::kStatusMovement, {0x80, 0x00}, IDC_MOVEMENT, "-32768"},
    {"Temperature255", sensor::kStatusTemperature, {0xFF}, IDC_TEMPERATURE, "255"},
    {"RecordTotal5", sensor::kStatusRecordCount, {5}, IDC_RECORD_COUNTER, "  0/  5"},
    {"RecordTotal0", sensor::kStatusRecordCount, {0}, IDC_RECORD_COUNTER, "  0/  0"},
    {"RecordTotal255", sensor::kStatusRecordCount, {255}, IDC_RECORD_COUNTER, "  0/255"},
};

struct LampCase {
    const char* name;
    std::uint8_t flags;
    std::set<int> red;
};

void PrintTo(const LampCase& c, std::ostream* out) { *out << c.name; }

class PollLampTest : public PollingTest, public testing::WithParamInterface<LampCase> {};

const LampCase kLampCases[] = {
    {"VibrationAndVoltage", 0x11, {IDC_LAMP_VIBRATION, IDC_LAMP_VOLTAGE}},
    {"HighBitsOnly", 0xE0, {}},
    {"Movement", 0x02, {IDC_LAMP_MOVEMENT}},
    {"Temperature", 0x04, {IDC_LAMP_TEMPERATURE}},
    {"Tamper", 0x08, {IDC_LAMP_TAMPER}},
    {"All", 0xFF, {kLamps[0], kLamps[1], kLamps[2], kLamps[3], kLamps[4]}},
};

enum class Failure { LinkStatus, CommandStatus, Silence };

struct FailureCase {
    const char* name;
    Failure failure;
    int failures;
    bool thenSuccess;
    const char* status;
    int count;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class PollFailureTest : public PollingTest, public testing::WithParamInterface<FailureCase> {
protected:
    // The command status failure still carries a block, which the link copies but the poll
    // must not use.
    void Fail(Failure failure, const StatusBlock& carried) {
        if (failure == Failure::Silence) {
            ScriptSilence();
        } else {
            ScriptStatus(carried, failure == Failure::LinkStatus ? 5 : 0,
                         failure == Failure::CommandStatus ? 3 : 0);
        }
    }
};

const FailureCase kFailures[] = {
    {"OneFailure", Failure::LinkStatus, 1, false, kConnected, 1},
    {"TwoFailures", Failure::CommandStatus, 2, false, kConnected, 2},
    {"TwoFailuresThenSuccess", Failure::LinkStatus, 2, true, kConnected, 0},
    {"ThreeFailures", Failure::CommandStatus, 3, false, kLost, 3},
    {"ThreeFailuresThenSuccess", Failure::LinkStatus, 3, true, kLost, 0},
    {"ThreeTimeoutsThenSuccess", Failure::Silence, 3, true, kLost, 0},
    {"FourFailures", Failure::LinkStatus, 4, false, kLost, 4},
};

struct LearningCase {
    const char* name;
    BYTE vibration;
    BYTE movement;
    const char* vibrationText;
    const char* movementText;
};

void PrintTo(const LearningCase& c, std::ostream* out) { *out << c.name; }

class PollLearnedTest : public PollingTest, public testing::WithParamInterface<LearningCase> {};

const LearningCase kLearningCases[] = {
    {"NeitherLearns", 0, 0, "0", "0"},
    {"VibrationLearns", 1, 0, "0.90", "0"},
    {"MovementLearns", 0, 1, "0", "-20"},
    {"BothLearn", 1, 1, "0.90", "-20"},
};

// A block unlike QuietStatus in every field.
StatusBlock BusyStatus() {
    StatusBlock block{};
    sim::PutBEFloat(block, sensor::kStatusVibration, 0.75f);
    sim::PutBE16(block, sensor::kStatusMovement, 0xFFF6);
    block[sensor::kStatusTemperature] = 40;
    block[sensor::kStatusFlags] = 0x1F;
    sim::PutBEFloat(block, sensor::kStatusLearnedVibration, 0.9f);
    sim::PutBE16(block, sensor::kStatusLearnedMovement, 150);
    block[sensor::kStatusRecordCount] = 9;
    return block;
}

// The members a poll of BusyStatus fills.
void ExpectBusyMembers(const CToolsDlg& dialog) {
    EXPECT_EQ(dialog.m_fVibration, 0.75f);
    EXPECT_EQ(dialog.m_nMovement, -10);
    EXPECT_EQ(dialog.m_nTemperature, 40);
    EXPECT_EQ(dialog.m_fAutoVibration, 0.9f);
    EXPECT_EQ(dialog.m_nAutoMovement, 150);
    EXPECT_EQ(g_nRecordTotal, 9);
}

}  // namespace

TEST_P(PollFieldTest, ShowsTheFieldAsText) {
    const FieldCase& c = GetParam();
    OpenConnected();
    StatusBlock block = QuietStatus();
    std::copy(c.bytes.begin(), c.bytes.end(), block.begin() + static_cast<long>(c.offset));
    ScriptStatus(block);
    Tick();
    EXPECT_EQ(Text(c.control), c.text);
    EXPECT_EQ(Received(), std::vector<std::string>{kStatusRequest});
}

INSTANTIATE_TEST_SUITE_P(Tables, PollFieldTest, testing::ValuesIn(kFields),
                         [](const auto& info) { return CaseName(info.param.name); });

TEST_P(PollLampTest, FlagBitsTurnTheirLampsRed) {
    const LampCase& c = GetParam();
    OpenConnected();
    for (int lamp : kLamps) {
        EXPECT_EQ(Lamp(lamp), LampColour::Green) << lamp << " before the first poll";
    }
    StatusBlock block = QuietStatus();
    block[sensor::kStatusFlags] = c.flags;
    ScriptStatus(block);
    Tick();
    for (int lamp : kLamps) {
        EXPECT_EQ(Lamp(lamp), c.red.contains(lamp) ? LampColour::Red : LampColour::Green) << lamp;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, PollLampTest, testing::ValuesIn(kLampCases),
                         [](const auto& info) { return CaseName(info.param.name); });

TEST_P(PollFailureTest, CountsFailuresInARowAndReportsTheLinkLostFromTheThird) {
    const FailureCase& c = GetParam();
    CToolsDlg& dialog = OpenConnected();
    for (int i = 0; i < c.failures; ++i) {
        Fail(c.failure, BusyStatus());
        Tick();
    }
    if (c.thenSuccess) {
        ScriptStatus(BusyStatus());
        Tick();
        EXPECT_EQ(Text(IDC_VIBRATION), "0.75");  // the readings resume
        EXPECT_EQ(Lamp(IDC_LAMP_TAMPER), LampColour::Red);
    } else {
        EXPECT_EQ(Text(IDC_VIBRATION), "0");  // still what the dialog opened with
        EXPECT_EQ(dialog.m_fVibration, 0.0f);
    }
    EXPECT_EQ(Text(IDC_STATUS), c.status);
    EXPECT_EQ(g_nPollFailures, c.count);
    EXPECT_EQ(Received().size(), static_cast<std::size_t>(c.failures + (c.thenSuccess ? 1 : 0)));
}

INSTANTIATE_TEST_SUITE_P(Tables, PollFailureTest, testing::ValuesIn(kFailures),
                         [](const auto& info) { return CaseName(info.param.name); });

// A failed poll changes no text, member or lamp, even when the link copied a block.
TEST_F(PollFailureTest, AFailedPollKeepsTheLastReadingsMembersAndLamps) {
    CToolsDlg& dialog = OpenConnected();
    g_bLearnVibration = 1;
    g_bLearnMovement = 1;
    ScriptStatus(BusyStatus());
    Tick();
    const std::vector<int> shown = {IDC_VIBRATION,      IDC_MOVEMENT,      IDC_TEMPERATURE,
                                    IDC_AUTO_VIBRATION, IDC_AUTO_MOVEMENT, IDC_RECORD_COUNTER};
    std::vector<std::string> before;
    for (int id : shown) {
        before.push_back(Text(id));
    }
    EXPECT_EQ(before, (std::vector<std::string>{"0.75", "-10", "40", "0.90", "150", "  0/  9"}));

    for (Failure failure : {Failure::LinkStatus, Failure::CommandStatus}) {
        ScriptStatus(QuietStatus(), failure == Failure::LinkStatus ? 5 : 0,
                     failure == Failure::CommandStatus ? 3 : 0);
        Tick();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(Text(shown[i]), before[i]) << shown[i];
        }
        for (int lamp : kLamps) {
            EXPECT_EQ(Lamp(lamp), LampColour::Red) << lamp;
        }
        ExpectBusyMembers(dialog);
    }
}

// The count only needs to tell whether it passed two; it must not wrap back below that.
TEST_F(PollFailureTest, TheFailureCountStopsAtItsLargestValue) {
    OpenConnected();
    g_nPollFailures = INT_MAX;
    Fail(Failure::LinkStatus, QuietStatus());
    Tick();
    EXPECT_EQ(g_nPollFailures, INT_MAX);
    EXPECT_EQ(Text(IDC_STATUS), kLost);
}

TEST_F(PollingTest, EveryFieldGoesToItsMember) {
    CToolsDlg& dialog = OpenConnected();
    ScriptStatus(BusyStatus());
    Tick();
    ExpectBusyMembers(dialog);

    StatusBlock negative = QuietStatus();
    sim::PutBEFloat(negative, sensor::kStatusVibration, -1.0f);
    ScriptStatus(negative);
    Tick();
    EXPECT_EQ(dialog.m_fVibration, 0.01f);
}

TEST_F(PollingTest, TheCounterShowsTheRecordsReadAndHeld) {
    OpenConnected();
    g_nRecordIndex = 3;
    StatusBlock block = QuietStatus();
    block[sensor::kStatusRecordCount] = 12;
    ScriptStatus(block);
    Tick();
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  3/ 12");
}

// The learned thresholds are always taken, but shown only on the channels that learn.
TEST_P(PollLearnedTest, LearnedThresholdsShowOnlyWhileTheirChannelLearns) {
    const LearningCase& c = GetParam();
    CToolsDlg& dialog = OpenConnected();
    g_bLearnVibration = c.vibration;
    g_bLearnMovement = c.movement;
    StatusBlock block = QuietStatus();
    sim::PutBEFloat(block, sensor::kStatusLearnedVibration, 0.9f);
    sim::PutBE16(block, sensor::kStatusLearnedMovement, 0xFFEC);
    ScriptStatus(block);
    Tick();
    EXPECT_EQ(Text(IDC_AUTO_VIBRATION), c.vibrationText);
    EXPECT_EQ(Text(IDC_AUTO_MOVEMENT), c.movementText);
    EXPECT_EQ(dialog.m_fAutoVibration, 0.9f);
    EXPECT_EQ(dialog.m_nAutoMovement, -20);
}

INSTANTIATE_TEST_SUITE_P(Tables, PollLearnedTest, testing::ValuesIn(kLearningCases),
                         [](const auto& info) { return CaseName(info.param.name); });

TEST_F(PollingTest, ATickOfAnyTimerPolls) {
    OpenConnected();
    for (UINT_PTR id : {UINT_PTR{1}, UINT_PTR{2}, UINT_PTR{7}}) {
        ScriptStatus(BusyStatus());
        Tick(id);
        EXPECT_EQ(Text(IDC_TEMPERATURE), "40") << id;
        SetText(IDC_TEMPERATURE, "");
    }
    EXPECT_EQ(Received(), std::vector<std::string>(3, kStatusRequest));
}

// The units beside the readings show, whatever the dialog font makes of them.
TEST_F(PollingTest, TheReadingsUnitsAreDrawn) {
    OpenConnected();
    for (const char* unit : {"G", "度/S", "℃"}) {
        EXPECT_TRUE(Driver().LabelDrawn(unit)) << unit;
    }
}

// The dialog's own timer polls a live sensor: readings wander and a raised alarm turns its lamp
// red until the sensor clears it.
TEST_F(PollingTest, TheTimerFollowsALiveSensor) {
    Sensor();
    OpenMainDialog();
    std::set<std::string> vibrations;
    EXPECT_TRUE(ProcessEventsUntil([&] {
        vibrations.insert(Text(IDC_VIBRATION));
        return vibrations.size() >= 4;
    }));
    Sensor().WithModel([](sim::SensorModel& model) { model.RaiseAlarm(sim::Alarm::Tamper); });
    EXPECT_TRUE(ProcessEventsUntil([&] { return Lamp(IDC_LAMP_TAMPER) == LampColour::Red; }));
    EXPECT_EQ(Lamp(IDC_LAMP_VIBRATION), LampColour::Green);
    Sensor().WithModel([](sim::SensorModel& model) { model.ClearAlarms(); });
    EXPECT_TRUE(ProcessEventsUntil([&] { return Lamp(IDC_LAMP_TAMPER) == LampColour::Green; }));
    EXPECT_EQ(Text(IDC_STATUS), kConnected);
}

// With a sensor that takes 300 ms to answer, each poll waits for its answer before the next is
// sent, and the ticks that fell due meanwhile are not kept: once the sensor is quick again the
// polls come at the timer's pace, not in a burst.
TEST_F(PollingTest, SlowAnswersMakePollsRarerNeverQueued) {
    constexpr milliseconds kSlow{300};
    constexpr std::size_t kSlowPolls = 6;
    constexpr std::size_t kQuickPolls = 8;
    Sensor();
    OpenMainDialog();
    Sensor().SetReplyDelay(kSlow);
    Sensor().ClearLog();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Sensor().Requests().size() >= kSlowPolls; }));
    Sensor().SetReplyDelay(milliseconds{0});
    const std::size_t slow = Sensor().Requests().size();
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return Sensor().Requests().size() >= slow + kQuickPolls; }));

    const std::vector<sim::Received> requests = Sensor().Requests();
    for (std::size_t i = 1; i < slow; ++i) {
        EXPECT_GE(requests[i].at - requests[i - 1].at, kSlow - milliseconds{5})
            << "poll " << i << " was sent before the answer to poll " << i - 1;
    }
    // The timer's pace allows at most three polls in 200 ms; a queue of the ticks missed while
    // the sensor was slow would show as a run of polls with next to nothing between them.
    for (std::size_t i = slow + 3; i < requests.size(); ++i) {
        EXPECT_GE(requests[i].at - requests[i - 3].at, milliseconds{100})
            << "polls " << i - 3 << " to " << i << " came in a burst";
    }
    for (const sim::Received& request : requests) {
        EXPECT_EQ(std::string(request.bytes.begin(), request.bytes.end()), kStatusRequest);
    }
    EXPECT_EQ(Text(IDC_STATUS), kConnected);
}
