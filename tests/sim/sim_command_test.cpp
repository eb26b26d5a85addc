#include <gtest/gtest.h>
#include <signal.h>

#include "pty_client.h"
#include "sensor_contract.h"
#include "sim_process.h"

namespace sim {
namespace {

using namespace std::chrono_literals;

constexpr auto kWithin = 5000ms;  // generous: only a broken command takes this long

// The two lines printed at start; gives the first, which names the link and the pty.
std::optional<std::string> ReadBanner(test::SimProcess& sim) {
    auto first = sim.ReadLine(kWithin);
    return first && sim.ReadLine(kWithin) ? first : std::nullopt;
}

bool HasLink(const std::filesystem::path& link) {
    return std::filesystem::exists(std::filesystem::symlink_status(link));
}

TEST(SimCommandTest, ServesAndTakesCommandsUntilQuit) {
    test::PortsDir ports;
    test::SimProcess sim({"--com", "7", "--ports-dir", ports.Path().string()}, {});
    const auto link = ports.Path() / "COM7";
    const auto banner = ReadBanner(sim);
    ASSERT_TRUE(banner);
    EXPECT_NE(banner->find(link.string()), std::string::npos) << *banner;
    EXPECT_NE(banner->find("/dev/pts/"), std::string::npos) << *banner;

    test::PtyClient client(link);
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kWithin), "P8=19281;");

    sim.WriteLine("alarm tamper");
    EXPECT_EQ(sim.ReadLine(kWithin), "ok: tamper alarm raised, record 13");
    client.Write(std::vector<std::uint8_t>{0x03, 0x03, 0x10, 0x0A});
    const auto reply = client.Read(17, kWithin);
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_EQ(reply[2 + sensor::kStatusFlags], sensor::kFlagTamper);
    EXPECT_EQ(reply[2 + sensor::kStatusRecordCount], 13);

    sim.WriteLine("quit");
    EXPECT_EQ(sim.ReadLine(kWithin), "ok: quitting");
    EXPECT_EQ(sim.WaitExit(kWithin), 0);
    EXPECT_FALSE(HasLink(link));
}

class SimCommandSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(SimCommandSignalTest, StopsCleanlyOnSignal) {
    test::PortsDir ports;
    test::SimProcess sim({"--com", "2"}, {{"KQ_PORTS_DIR", ports.Path().string()}});
    ASSERT_TRUE(ReadBanner(sim));
    ASSERT_TRUE(HasLink(ports.Path() / "COM2"));
    sim.Signal(GetParam());
    EXPECT_EQ(sim.WaitExit(kWithin), 0);
    EXPECT_FALSE(HasLink(ports.Path() / "COM2"));
}

INSTANTIATE_TEST_SUITE_P(Signals, SimCommandSignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return "Signal" + std::to_string(info.param); });

TEST(SimCommandTest, KeepsServingAfterInputEnds) {
    test::PortsDir ports;
    test::SimProcess sim({"--com", "3", "--ports-dir", ports.Path().string()}, {});
    ASSERT_TRUE(ReadBanner(sim));
    sim.CloseInput();
    test::PtyClient client(ports.Path() / "COM3");
    client.Write("P11;");
    EXPECT_EQ(client.ReadText(kWithin), "P11=100;");
    EXPECT_FALSE(sim.WaitExit(100ms));
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.WaitExit(kWithin), 0);
}

TEST(SimCommandTest, StartsSilentWithItsIdentity) {
    test::PortsDir ports;
    test::SimProcess sim(
        {"--com", "9", "--ports-dir", ports.Path().string(), "--identity", "77", "--silent"}, {});
    ASSERT_TRUE(ReadBanner(sim));
    test::PtyClient client(ports.Path() / "COM9");
    client.Write("P8;");
    EXPECT_TRUE(client.Read(1, 300ms).empty());
    sim.WriteLine("silent off");
    EXPECT_EQ(sim.ReadLine(kWithin), "ok: silent off");
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kWithin), "P8=77;");
}

struct BadStart {
    std::string name;
    std::vector<std::string> args;
    std::string message;
};

void PrintTo(const BadStart& c, std::ostream* out) { *out << c.name; }

class SimCommandBadStartTest : public ::testing::TestWithParam<BadStart> {};

TEST_P(SimCommandBadStartTest, RefusesWithAClearMessage) {
    const auto& c = GetParam();
    test::SimProcess sim(c.args, {{"KQ_PORTS_DIR", ""}});
    EXPECT_EQ(sim.WaitExit(kWithin), 2);
    const std::string errors = sim.ReadErrors(1000ms);
    EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    EXPECT_NE(errors.find("usage:"), std::string::npos) << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Starts, SimCommandBadStartTest,
    ::testing::Values(BadStart{"NoPortsDir", {"--com", "3"}, "KQ_PORTS_DIR"},
                      BadStart{"NoCom", {"--ports-dir", "/tmp"}, "--com is required"},
                      BadStart{"UnknownOption", {"--com", "3", "--baud", "9600"}, "--baud"}),
    [](const auto& info) { return info.param.name; });

TEST(SimCommandTest, HelpExplainsOptionsAndCommands) {
    test::SimProcess sim({"--help"}, {});
    std::string text;
    while (const auto line = sim.ReadLine(kWithin)) {
        text += *line + "\n";
    }
    EXPECT_EQ(sim.WaitExit(kWithin), 0);
    for (const char* word : {"--com", "--ports-dir", "--identity", "--delay", "--silent",
                             "alarm vibration", "relink", "quit"}) {
        EXPECT_NE(text.find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace sim
