// The zeko command when things go wrong: bad arguments, refused thresholds, no sensor, a sensor
// that falls silent or refuses. Each ends with its documented exit status and one line on standard
// error, and nothing is printed as read that was not.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "zeko_fixture.h"

namespace {

using namespace std::chrono_literals;

// The exit statuses as the man page documents them, written out rather than taken from the
// command's enum, so that renumbering it fails here.
constexpr int kLinkFailure = 1;
constexpr int kBadArguments = 2;
constexpr int kNoSensor = 3;
constexpr int kValueRefused = 4;
constexpr int kSensorRefused = 5;
constexpr int kOutputFailed = 6;

sim::Reply Silence() {
    sim::Reply reply;
    reply.kind = sim::Reply::Kind::Silence;
    return reply;
}

// Answers the identity reads (the scan's two and ZEKO_initial's two), then nothing.
void SilentAfterIdentity(sim::PtyServer& sensor) {
    for (int read = 0; read < 4; ++read) sensor.Script({});
    sensor.Script(Silence());
    sensor.Script(Silence());
}

class ZekoFailure : public ZekoFixture {
protected:
    bool AnyWrite() {
        const auto requests = Requests();
        return std::any_of(requests.begin(), requests.end(),
                           [](const std::string& r) { return r.find('=') != std::string::npos; });
    }
};

TEST_F(ZekoFailure, BadArgumentsPrintTheUsageAndSendNothing) {
    Sensor(3);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"status", "--count", "2"},
        {"status", "--watch", "--interval", "0"},
        {"--port", "0", "status"},
        {"threshold", "speed"},
        {"threshold", "movement", "1.5"},
        {"threshold", "vibration", "nan"},
        {"learn", "vibration", "jump"},
        {"get", "ten"},
        {"set", "11"},
        {"set", "11", "4294967296"},
        {"set", "11", "010x"},
        {"history", "--csv", "--json"},
    };
    for (const auto& args : cases) {
        const ZekoRun run = Run(args);
        const std::string name = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(run.status, kBadArguments) << name;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << name << run.err;
        EXPECT_EQ(run.out, "") << name;
    }
    EXPECT_TRUE(Requests().empty());
}

// As the dialog refuses them, and before anything is sent.
TEST_F(ZekoFailure, ThresholdsOutsideTheSensorsRangeAreRefused) {
    Sensor(3);
    const std::vector<std::string> vibrations = {"0", "-0", "1.01", "-0.1", "1e-46"};
    for (const std::string& value : vibrations) {
        const ZekoRun run = Run({"threshold", "vibration", value});
        EXPECT_EQ(run.status, kValueRefused) << value;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    for (const char* value : {"0", "201", "-5", "40000"}) {
        EXPECT_EQ(Run({"threshold", "movement", value}).status, kValueRefused) << value;
    }
    EXPECT_FALSE(AnyWrite());
    float threshold = 0;
    Sensor(3).WithModel([&](sim::SensorModel& m) { threshold = m.VibrationThreshold(); });
    EXPECT_EQ(threshold, 0.5f);
}

TEST_F(ZekoFailure, EachFailureEndsWithItsStatusAndOneLine) {
    struct Case {
        const char* name;
        std::function<void(sim::PtyServer&)> arrange;  // given COM3; none: no sensor at all
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {
            "missing port",
            nullptr,
            {"--port", "7", "status"},
            kNoSensor,
            "zeko: COM7 (",
        },
        {"no sensor anywhere",
         nullptr,
         {"history"},
         kNoSensor,
         "zeko: no sensor on COM1 to COM16 (last result 9 ZEKO_NO_PORT: the port cannot be "
         "opened); `zeko ports` tells why each port failed\n"},
        {"silent sensor",
         [](sim::PtyServer& s) { s.SetSilent(true); },
         {"--port", "3", "status"},
         kNoSensor,
         "10 ZEKO_NO_ANSWER: no valid answer to the identity request\n"},
        {"another device",
         [](sim::PtyServer& s) { s.WithModel([](auto& m) { m.SetIdentity(4660); }); },
         {"--port", "3", "get", "8"},
         kNoSensor,
         "12 ZEKO_WRONG_IDENTITY: another device answered\n"},
        {"silent after connecting",
         SilentAfterIdentity,
         {"get", "10"},
         kLinkFailure,
         "zeko: 41 ZEKO_LINK_LOST: no reply; the link is marked lost\n"},
        {"silent poll",
         SilentAfterIdentity,
         {"status", "--json"},
         kLinkFailure,
         "zeko: 31 ZEKO_NO_LOCK: no reply in time, or no link open\n"},
        {"sensor refuses",
         [](sim::PtyServer&) {},
         {"learn", "vibration", "save"},
         kSensorRefused,
         "zeko: 5 (sensor code): the sensor refused the write\n"},
    };
    for (const Case& c : cases) {
        RemoveSensors();
        if (c.arrange) c.arrange(Sensor(3));
        const ZekoRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.name << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.name << ": " << run.err;
    }
    EXPECT_NE(Run({"--port", "7", "status"}).err.find("9 ZEKO_NO_PORT"), std::string::npos);
}

// Data read but lost on the way out is no success.
TEST_F(ZekoFailure, OutputThatCannotBeWrittenIsNoSuccess) {
    Sensor(3);
    const std::vector<std::vector<std::string>> cases = {
        {"status"}, {"history", "--csv"}, {"status", "--watch", "--interval", "10", "--json"}};
    for (const auto& args : cases) {
        const ZekoRun run = Run(args, "/dev/full");
        EXPECT_EQ(run.status, kOutputFailed) << args.front();
        EXPECT_EQ(run.err, "zeko: cannot write the output: No space left on device\n");
    }
}

// A record that does not come stops the history: nothing half-read is printed.
TEST_F(ZekoFailure, HistoryPrintsNothingWhenARecordFails) {
    for (int answered = 0; answered < 4; ++answered) Sensor(3).Script({});
    Sensor(3).Script(Silence());
    const ZekoRun run = Run({"history", "--csv"});
    EXPECT_EQ(run.status, kLinkFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "zeko: 31 ZEKO_NO_LOCK: no reply in time, or no link open\n");
}

// As the dialog counts its polls: from the third failure in a row the link is lost.
TEST_F(ZekoFailure, WatchEndsAfterThreeFailedPollsInARow) {
    SilentAfterIdentity(Sensor(3));
    Sensor(3).Script(Silence());
    const ZekoRun run = Run({"status", "--watch", "--interval", "10", "--json"});
    EXPECT_EQ(run.status, kLinkFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 3) << run.err;
}

// A pulled adapter does not end the watch: the port is let go, and the scan finds the sensor
// again, here under another COM name. The pulled adapter's name goes with it, as a USB device
// node does: a new pty (of any program) may take the number of the one COM3 pointed at.
TEST_F(ZekoFailure, WatchFindsTheSensorAgainAfterAPulledAdapter) {
    Sensor(3);
    Sensor(5);
    const pid_t zeko = Start({"status", "--watch", "--interval", "100", "--count", "20"});
    std::this_thread::sleep_for(500ms);
    Sensor(3).HangUp();
    std::filesystem::remove(m_portsDir / "COM3");
    const ZekoRun run = Finish(zeko);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.OutLines().size(), 19u);  // one poll of the twenty met the pulled adapter
    EXPECT_NE(run.err.find("zeko: 31 ZEKO_NO_LOCK"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("answers again on COM5"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the device is gone"), std::string::npos) << run.err;
    EXPECT_FALSE(Requests(5).empty());
}

}  // namespace
