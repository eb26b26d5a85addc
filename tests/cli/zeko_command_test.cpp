// The zeko command against a healthy simulated sensor: what each subcommand prints, as text and
// as JSON read back, what its writes leave in the sensor, the watch, and the ports listing.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "zeko_fixture.h"

namespace {

using nlohmann::json;
using namespace std::chrono_literals;

const std::string kStatusLine =
    "vibration 0.25 G  movement -2 deg/s  temperature 31 deg C  alarms vibration,tamper  "
    "learned 0.50 G 40 deg/s  records 4";

class ZekoCommand : public ZekoFixture {
protected:
    // A sensor with known readings, thresholds and four records: a vibration alarm, an energy
    // total, one with no type bit and one with two (the lower names it).
    void SetUp() override {
        ZekoFixture::SetUp();
        Sensor(3).WithModel([](sim::SensorModel& m) {
            m.SetVibration(0.25f);
            m.SetMovement(-2);
            m.SetTemperature(31);
            m.SetFlags(sensor::kFlagVibration | sensor::kFlagTamper);
            m.SetLearnedVibration(0.5f);
            m.SetLearnedMovement(40);
            m.SetVibrationThreshold(0.29f);
            m.SetMovementThreshold(120);
            m.SetRecords({{1, sensor::kRecordVibration, 0.5f, 0.62f},
                          {2, sensor::kRecordEnergy, 12.5f, 3.0f},
                          {3, 0, 1.0f, 2.0f},
                          {4, sensor::kRecordTamper | sensor::kRecordMovement, 100.0f, 124.25f}});
        });
    }
};

TEST_F(ZekoCommand, PrintsWhatTheSensorHolds) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"status"}, kStatusLine + "\n"},
        {{"--port", "3", "status"}, kStatusLine + "\n"},
        {{"status", "--port", "3"}, kStatusLine + "\n"},
        {{"get", "11"}, "120\n"},
        {{"get", "8"}, "19281\n"},
        {{"threshold", "vibration"}, "0.29\n"},
        {{"threshold", "movement"}, "120\n"},
        {{"history"},
         "  1  vibration           0.50    0.62\n"
         "  2  energy             12.50    NULL\n"
         "  3  -                   NULL    NULL\n"
         "  4  movement          100.00  124.25\n"},
        {{"history", "--csv"},
         "number,type,threshold,value\n1,vibration,0.5,0.62\n2,energy,12.5,\n3,,,\n"
         "4,movement,100,124.25\n"},
    };
    for (const Case& c : cases) {
        const ZekoRun run = Run(c.args);
        EXPECT_EQ(run.status, 0) << c.args.front() << run.err;
        EXPECT_EQ(run.out, c.out) << c.args.front();
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(ZekoCommand, JsonReadsBackAsDocumented) {
    struct Case {
        std::vector<std::string> args;
        json expected;
    };
    const Case cases[] = {
        {{"status", "--json"},
         {{"vibration", 0.25},
          {"movement", -2},
          {"temperature", 31},
          {"alarms",
           {{"vibration", true},
            {"movement", false},
            {"temperature", false},
            {"tamper", true},
            {"voltage", false}}},
          {"learned_vibration", 0.5},
          {"learned_movement", 40},
          {"record_count", 4}}},
        {{"get", "11", "--json"}, {{"parameter", 11}, {"value", 120}}},
        {{"threshold", "vibration", "--json"}, {{"vibration_threshold", 0.29}}},
        {{"threshold", "movement", "--json"}, {{"movement_threshold", 120}}},
        {{"history", "--json"},
         json::array(
             {{{"number", 1}, {"type", "vibration"}, {"threshold", 0.5}, {"value", 0.62}},
              {{"number", 2}, {"type", "energy"}, {"threshold", 12.5}, {"value", nullptr}},
              {{"number", 3}, {"type", nullptr}, {"threshold", nullptr}, {"value", nullptr}},
              {{"number", 4}, {"type", "movement"}, {"threshold", 100.0}, {"value", 124.25}}})},
    };
    for (const Case& c : cases) {
        const ZekoRun run = Run(c.args);
        EXPECT_EQ(run.status, 0) << c.args.front() << run.err;
        ASSERT_EQ(run.OutLines().size(), 1u) << run.out;
        EXPECT_EQ(json::parse(run.out), c.expected) << c.args.front();
    }
}

TEST_F(ZekoCommand, WritesReachTheSensor) {
    struct Case {
        std::vector<std::string> args;
        std::function<bool(const sim::SensorModel&)> holds;
    };
    const Case cases[] = {
        {{"threshold", "vibration", "0.3"}, [](auto& m) { return m.VibrationThreshold() == 0.3f; }},
        {{"threshold", "vibration", "1"}, [](auto& m) { return m.VibrationThreshold() == 1.0f; }},
        {{"threshold", "movement", "200"}, [](auto& m) { return m.MovementThreshold() == 200; }},
        {{"set", "11", "77"}, [](auto& m) { return m.MovementThreshold() == 77; }},
        {{"set", "10", "0x3F000000"}, [](auto& m) { return m.VibrationThreshold() == 0.5f; }},
        {{"learn", "vibration", "start"}, [](auto& m) { return m.LearningVibration(); }},
        {{"learn", "vibration", "save"}, [](auto& m) { return !m.LearningVibration(); }},
        {{"learn", "movement", "start"}, [](auto& m) { return m.LearningMovement(); }},
        {{"learn", "movement", "cancel"}, [](auto& m) { return !m.LearningMovement(); }},
        {{"clear-history"}, [](auto& m) { return m.Records().empty(); }},
    };
    for (const Case& c : cases) {
        const ZekoRun run = Run(c.args);
        EXPECT_EQ(run.status, 0) << c.args[1] << run.err;
        EXPECT_EQ(run.out, "");
        bool holds = false;
        Sensor(3).WithModel([&](sim::SensorModel& m) { holds = c.holds(m); });
        EXPECT_TRUE(holds) << c.args.front() << " " << c.args[1];
    }
}

// One status request per poll, one JSON line per poll, however slowly the sensor answers.
TEST_F(ZekoCommand, WatchPollsOncePerLineAndStopsOnCountOrCtrlC) {
    Sensor(3).SetReplyDelay(150ms);
    const ZekoRun counted =
        Run({"status", "--watch", "--interval", "20", "--count", "3", "--json"});
    EXPECT_EQ(counted.status, 0) << counted.err;
    ASSERT_EQ(counted.OutLines().size(), 3u);
    for (const std::string& line : counted.OutLines())
        EXPECT_EQ(json::parse(line)["temperature"], 31);
    const auto requests = Requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "block 10"), 3);

    Sensor(3).SetReplyDelay(0ms);
    Sensor(3).ClearLog();
    const pid_t child = Start({"status", "--watch", "--interval", "50"});
    ASSERT_TRUE(Sensor(3).WaitForRequests(5, 5s));
    kill(child, SIGINT);
    const ZekoRun stopped = Finish(child);
    EXPECT_EQ(stopped.status, 0) << stopped.err;
    const auto polls = Requests();
    EXPECT_EQ(stopped.OutLines().size(),
              static_cast<std::size_t>(std::count(polls.begin(), polls.end(), "block 10")));
    for (const std::string& line : stopped.OutLines()) EXPECT_EQ(line, kStatusLine);

    // The trend window's CSV lines: the poll's local start time to the tenth, then the readings
    // and the flag byte; a poll the sensor leaves unanswered keeps its time and nothing else.
    const auto time = [](const std::string& line) {
        const std::string pattern = "0000-00-00 00:00:00.0";  // 0: any digit
        return line.size() >= pattern.size() &&
               std::equal(pattern.begin(), pattern.end(), line.begin(), [](char p, char c) {
                   return p == '0' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : c == p;
               });
    };
    const ZekoRun csv = Run({"status", "--watch", "--interval", "20", "--count", "2", "--csv"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    ASSERT_EQ(csv.OutLines().size(), 3u);
    EXPECT_EQ(csv.OutLines()[0], "时间,振动(G),移动(度/S),温度,报警标志");
    for (const std::string& line : {csv.OutLines()[1], csv.OutLines()[2]}) {
        EXPECT_TRUE(time(line)) << line;
        EXPECT_EQ(line.substr(21), ",0.25,-2,31,9");
    }
    Sensor(3).ClearLog();
    const pid_t watcher = Start({"status", "--watch", "--interval", "50", "--csv"});
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::ranges::count(Requests(), "block 10") < 2 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    Sensor(3).SetSilent(true);
    const ZekoRun silent = Finish(watcher);  // three unanswered polls end the watch
    const std::vector<std::string> lines = silent.OutLines();
    ASSERT_GE(lines.size(), 4u) << silent.err;
    for (std::size_t i = lines.size() - 3; i < lines.size(); ++i) {
        EXPECT_TRUE(time(lines[i])) << lines[i];
        EXPECT_EQ(lines[i].substr(21), ",,,,");
    }
}

TEST_F(ZekoCommand, PortsTellsWhatEachComNameHolds) {
    std::filesystem::create_symlink("/dev/kq-no-such-device", m_portsDir / "COM2");
    Sensor(4).WithModel([](sim::SensorModel& m) { m.SetIdentity(4660); });
    Sensor(5);
    const int held = open((m_portsDir / "COM5").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    Sensor(6).SetSilent(true);

    const std::string dir = m_portsDir.string();
    const ZekoRun text = Run({"ports"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "COM2\t" + dir + "/COM2\tabsent\n" +      //
                            "COM3\t" + dir + "/COM3\tsensor\n" +  //
                            "COM4\t" + dir + "/COM4\tidentity 4660\n" + "COM5\t" + dir +
                            "/COM5\tbusy (held by another program)\n" + "COM6\t" + dir +
                            "/COM6\tno answer\n");

    Sensor(6).SetSilent(false);
    const ZekoRun listed = Run({"ports", "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    const json ports = json::parse(listed.out);
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[1], json({{"port", "COM3"},
                              {"path", dir + "/COM3"},
                              {"state", "sensor"},
                              {"detail", "sensor"},
                              {"identity", nullptr}}));
    EXPECT_EQ(ports[2]["state"], "identity");
    EXPECT_EQ(ports[2]["identity"], 4660);
    EXPECT_EQ(ports[3]["state"], "busy");
    EXPECT_EQ(ports[4]["state"], "sensor");
    close(held);
}

}  // namespace
