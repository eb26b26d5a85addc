#include "console.h"

#include <gtest/gtest.h>

#include "pty_client.h"

namespace sim {
namespace {

using namespace std::chrono_literals;

class SimConsoleTest : public ::testing::Test {
protected:
    SimConsoleTest() {
        server_.WithModel([](SensorModel& model) {
            model.ClearRecords();
            model.SetVibrationThreshold(0.5f);
        });
    }

    std::string Run(std::string_view line) { return console_.Execute(line).text; }

    SensorModel Model() {
        SensorModel copy;
        server_.WithModel([&](SensorModel& model) { copy = model; });
        return copy;
    }

    test::PortsDir ports_;
    PtyServer server_{ports_.Path(), 4};
    Console console_{server_};
};

struct AlarmCommand {
    std::string word;
    std::uint8_t flag;
    std::uint32_t recordType;
};

void PrintTo(const AlarmCommand& c, std::ostream* out) { *out << c.word; }

class SimConsoleAlarmTest : public SimConsoleTest, public ::testing::WithParamInterface<AlarmCommand> {};

TEST_P(SimConsoleAlarmTest, RaisesFlagAndRecord) {
    const auto& c = GetParam();
    EXPECT_EQ(Run("alarm " + c.word), "ok: " + c.word + " alarm raised, record 1");
    const auto model = Model();
    EXPECT_EQ(model.Flags(), c.flag);
    ASSERT_EQ(model.Records().size(), 1u);
    EXPECT_EQ(model.Records()[0].typeFlags, c.recordType);
}

INSTANTIATE_TEST_SUITE_P(
    Alarms, SimConsoleAlarmTest,
    ::testing::Values(AlarmCommand{"vibration", sensor::kFlagVibration, sensor::kRecordVibration},
                      AlarmCommand{"movement", sensor::kFlagMovement, sensor::kRecordMovement},
                      AlarmCommand{"temperature", sensor::kFlagTemperature,
                                   sensor::kRecordOverTemperature},
                      AlarmCommand{"tamper", sensor::kFlagTamper, sensor::kRecordTamper},
                      AlarmCommand{"voltage", sensor::kFlagVoltage, sensor::kRecordLowVoltage}),
    [](const auto& info) { return info.param.word; });

TEST_F(SimConsoleTest, ClearTurnsEveryFlagOffAndKeepsRecords) {
    Run("alarm tamper");
    Run("alarm voltage");
    EXPECT_EQ(Run("clear"), "ok: alarm flags cleared");
    EXPECT_EQ(Model().Flags(), 0);
    EXPECT_EQ(Model().Records().size(), 2u);
}

struct RecordCommand {
    std::string line;
    std::optional<AlarmRecord> added;  // without its leading word; nothing: refused
};

void PrintTo(const RecordCommand& c, std::ostream* out) { *out << c.line; }

class SimConsoleRecordTest : public SimConsoleTest,
                          public ::testing::WithParamInterface<RecordCommand> {};

TEST_P(SimConsoleRecordTest, AddsExactlyTheRecordOrRefuses) {
    const auto& c = GetParam();
    const std::string answer = Run(c.line);
    const auto records = Model().Records();
    if (!c.added) {
        EXPECT_EQ(answer.rfind("error:", 0), 0u) << answer;
        EXPECT_TRUE(records.empty());
        return;
    }
    EXPECT_EQ(answer.rfind("ok:", 0), 0u) << answer;
    ASSERT_EQ(records.size(), 1u);
    auto expected = *c.added;
    expected.leadingWord = records[0].leadingWord;
    EXPECT_EQ(records[0], expected);
    EXPECT_NE(records[0].leadingWord, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Records, SimConsoleRecordTest,
    ::testing::Values(
        RecordCommand{"record energy 12.5", AlarmRecord{0, sensor::kRecordEnergy, 12.5f, 0.0f}},
        RecordCommand{"record vibration 0.5 0.75",
                      AlarmRecord{0, sensor::kRecordVibration, 0.5f, 0.75f}},
        RecordCommand{"record movement -3 120",
                      AlarmRecord{0, sensor::kRecordMovement, -3.0f, 120.0f}},
        RecordCommand{"record temperature", AlarmRecord{0, sensor::kRecordOverTemperature, 0, 0}},
        RecordCommand{"record tamper", AlarmRecord{0, sensor::kRecordTamper, 0, 0}},
        RecordCommand{"  record   voltage 10.5 9.8 ",
                      AlarmRecord{0, sensor::kRecordLowVoltage, 10.5f, 9.8f}},
        RecordCommand{"record", std::nullopt}, RecordCommand{"record fire", std::nullopt},
        RecordCommand{"record energy x", std::nullopt},
        RecordCommand{"record energy 1 2 3", std::nullopt}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(SimConsoleTest, SilentAndDelayReachTheServer) {
    EXPECT_EQ(Run("silent on"), "ok: silent on");
    EXPECT_TRUE(server_.Silent());
    EXPECT_EQ(Run("silent off"), "ok: silent off");
    EXPECT_FALSE(server_.Silent());
    EXPECT_EQ(Run("delay 250"), "ok: reply delay 250 ms");
    EXPECT_EQ(server_.ReplyDelay(), 250ms);
    EXPECT_EQ(Run("delay -1").rfind("error:", 0), 0u);
    EXPECT_EQ(Run("delay soon").rfind("error:", 0), 0u);
    EXPECT_EQ(server_.ReplyDelay(), 250ms);
}

TEST_F(SimConsoleTest, HangUpAndRelinkOverTheLine) {
    test::PtyClient client(server_.LinkPath());
    EXPECT_EQ(Run("hangup").rfind("ok:", 0), 0u);
    EXPECT_TRUE(client.Wait(2000ms) & POLLHUP);
    EXPECT_FALSE(server_.Connected());
    EXPECT_NE(Run("status").find("hung up"), std::string::npos);

    const std::string relinked = Run("relink");
    EXPECT_NE(relinked.find(server_.SlavePath()), std::string::npos) << relinked;
    test::PtyClient again(server_.LinkPath());
    again.Write("P8;");
    EXPECT_EQ(again.ReadText(2000ms), "P8=19281;");
}

TEST_F(SimConsoleTest, StatusShowsTheModel) {
    Run("alarm movement");
    server_.WithModel([](SensorModel& model) { model.SetTemperature(31); });
    const std::string status = Run("status");
    for (const std::string& part :
         {server_.LinkPath().string(), server_.SlavePath(), std::string("identity 19281"),
          std::string("temperature 31 C"), std::string("vibration 0.50 G"),
          std::string("alarms: movement"), std::string("records: 1")}) {
        EXPECT_NE(status.find(part), std::string::npos) << part << " in\n" << status;
    }
}

TEST_F(SimConsoleTest, HelpQuitAndNonsense) {
    EXPECT_EQ(Run("help"), Console::Help());
    EXPECT_TRUE(Run("").empty());
    EXPECT_FALSE(console_.Execute("").quit);
    EXPECT_EQ(Run("alarm fire").rfind("error:", 0), 0u);
    EXPECT_EQ(Run("launch").rfind("error:", 0), 0u);
    EXPECT_EQ(Run("clear now").rfind("error:", 0), 0u);
    EXPECT_FALSE(console_.Execute("status").quit);
    EXPECT_TRUE(console_.Execute("quit").quit);
}

}  // namespace
}  // namespace sim
