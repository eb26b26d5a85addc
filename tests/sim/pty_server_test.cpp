#include "pty_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "pty_client.h"

namespace sim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr auto kWithin = 2000ms;  // generous: only a broken server takes this long
constexpr auto kQuiet = 300ms;    // how long "nothing arrives" is watched

const Bytes kStatusFrame = {0x03, 0x03, 0x10, 0x0A};

class SimPtyServerTest : public ::testing::Test {
protected:
    // A hung-up line shows POLLHUP; reading gives end of file or EIO, writing EIO.
    static void ExpectHungUp(test::PtyClient& client) {
        EXPECT_TRUE(client.Wait(kWithin) & POLLHUP);
        EXPECT_THAT(client.ReadError(), ::testing::AnyOf(0, EIO));
        EXPECT_EQ(client.WriteError(), EIO);
    }

    PortsDir m_ports;
    PtyServer m_server{m_ports.Path(), 3};
    test::PtyClient m_client{m_server.LinkPath()};
};

TEST_F(SimPtyServerTest, AnswersRequestsFromTheModel) {
    EXPECT_EQ(std::filesystem::read_symlink(m_ports.Path() / "COM3"), m_server.SlavePath());
    m_client.Write("P8;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P8=19281;");

    StatusBytes status{};
    m_server.WithModel([&](SensorModel& model) {
        model.SetVibration(0.25f);
        model.SetFlags(sensor::kFlagTamper);
        status = model.StatusBlock();
    });
    m_client.Write(kStatusFrame);
    Bytes reply = {0, 0};
    reply.insert(reply.end(), status.begin(), status.end());
    EXPECT_EQ(m_client.Read(reply.size(), kWithin), reply);

    m_client.Write("P11=150;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P11R=0;");
    m_server.WithModel([](SensorModel& model) { EXPECT_EQ(model.MovementThreshold(), 150); });
}

TEST_F(SimPtyServerTest, SplitAndConcatenatedRequests) {
    m_client.Write("P1");
    std::this_thread::sleep_for(50ms);
    m_client.Write("1;P8;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P11=100;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P8=19281;");
    // After a long pause a half request is forgotten, not glued to the next one.
    m_client.Write("P8");
    std::this_thread::sleep_for(700ms);
    m_client.Write("P11;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P11=100;");
}

struct ScriptCase {
    std::string name;
    Reply reply;
    std::string request;
    Bytes answer;  // what the client must receive, in full
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

class SimScriptedReplyTest : public SimPtyServerTest,
                             public ::testing::WithParamInterface<ScriptCase> {};

// Each scripted answer replaces the model's for one request; the next request gets the model's.
TEST_P(SimScriptedReplyTest, AnswersOnceThenTheModelAgain) {
    const auto& c = GetParam();
    m_server.Script(c.reply);
    const auto sent = Clock::now();
    m_client.Write(c.request);
    EXPECT_EQ(m_client.Read(c.answer.size(), kWithin + c.reply.delay), c.answer);
    EXPECT_GE(Clock::now() - sent, c.reply.delay);
    EXPECT_TRUE(m_client.Read(1, kQuiet).empty()) << "nothing more for this request";
    m_client.Write("P11;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P11=100;") << "a silenced write must not act";
}

Reply Make(Reply::Kind kind, std::chrono::milliseconds delay = 0ms, Bytes bytes = {},
           int parameter = 0) {
    return Reply{kind, delay, std::move(bytes), parameter};
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SimScriptedReplyTest,
    ::testing::Values(
        ScriptCase{"Model", Make(Reply::Kind::Model), "P8;", test::Bytes("P8=19281;")},
        ScriptCase{"ModelLate", Make(Reply::Kind::Model, 400ms), "P8;", test::Bytes("P8=19281;")},
        ScriptCase{"Silence", Make(Reply::Kind::Silence), "P11=5;", {}},
        ScriptCase{"Raw", Make(Reply::Kind::Raw, 0ms, test::Bytes("P8=ERR;")), "P8;",
                   test::Bytes("P8=ERR;")},
        ScriptCase{"RawLate", Make(Reply::Kind::Raw, 300ms, {0x05, 0x00}), "P8;", {0x05, 0x00}},
        ScriptCase{"OtherParameter", Make(Reply::Kind::OtherParameter, 0ms, {}, 11), "P8;",
                   test::Bytes("P11=19281;")},
        ScriptCase{"OtherParameterWrite", Make(Reply::Kind::OtherParameter, 0ms, {}, 9), "P12=0;",
                   test::Bytes("P9R=0;")},
        // More than the tool's 100-byte buffer, and no terminator in it.
        ScriptCase{"Overflow", Make(Reply::Kind::Overflow), "P8;", Bytes(120, 'X')}),
    [](const auto& info) { return info.param.name; });

TEST_F(SimPtyServerTest, ScriptedHangUpClosesTheLine) {
    m_server.Script(Make(Reply::Kind::HangUp));
    m_client.Write("P8;");
    ExpectHungUp(m_client);
    EXPECT_FALSE(m_server.Connected());
}

// A late answer waits in the server, not in its thread: a later request is received and
// answered meanwhile. A raw answer does not wait for the server's delay either.
TEST_F(SimPtyServerTest, LateAnswersDoNotHoldUpOthers) {
    m_server.SetReplyDelay(500ms);
    m_server.Script(Make(Reply::Kind::Model));
    m_server.Script(Make(Reply::Kind::Raw, 0ms, test::Bytes("raw;")));
    m_client.Write("P8;P11;");
    EXPECT_EQ(m_client.ReadText(kWithin), "raw;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P8=19281;");

    const auto sent = Clock::now();
    m_client.Write("P11;");
    EXPECT_EQ(m_client.ReadText(kWithin), "P11=100;");
    EXPECT_GE(Clock::now() - sent, 500ms);
    EXPECT_EQ(m_server.ReplyDelay(), 500ms);
}

TEST_F(SimPtyServerTest, SilentUntilToldOtherwise) {
    m_server.Script(Make(Reply::Kind::Raw, 0ms, test::Bytes("kept;")));
    m_server.SetSilent(true);
    m_client.Write("P8;P11;");
    ASSERT_TRUE(m_server.WaitForRequests(2, kWithin));
    EXPECT_TRUE(m_client.Read(1, kQuiet).empty());
    m_server.SetSilent(false);
    m_client.Write("P8;P8;");
    EXPECT_EQ(m_client.ReadText(kWithin), "kept;") << "the script waited";
    EXPECT_EQ(m_client.ReadText(kWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, SendRawArrivesUnasked) {
    const Bytes noise = {0x00, 0xFF, ';', 'P'};
    m_server.SendRaw(noise);
    EXPECT_EQ(m_client.Read(noise.size(), kWithin), noise);
}

TEST_F(SimPtyServerTest, HangUpThenRelinkAtTheSameName) {
    m_server.HangUp();
    EXPECT_FALSE(m_server.Connected());
    ExpectHungUp(m_client);
    EXPECT_TRUE(std::filesystem::is_symlink(m_server.LinkPath())) << "the link stays";
    m_server.SendRaw({0x01});  // nothing to send it on; must not fail

    m_server.Relink();
    EXPECT_EQ(std::filesystem::read_symlink(m_server.LinkPath()), m_server.SlavePath());
    test::PtyClient again(m_server.LinkPath());
    again.Write("P8;");
    EXPECT_EQ(again.ReadText(kWithin), "P8=19281;");

    // Relinking while a client is connected hangs its line up.
    m_server.Relink();
    ExpectHungUp(again);
    test::PtyClient third(m_server.LinkPath());
    third.Write(kStatusFrame);
    EXPECT_EQ(third.Read(17, kWithin).size(), 17u);
}

TEST_F(SimPtyServerTest, LogsRequestsAndEveryByte) {
    EXPECT_FALSE(m_server.WaitForRequests(1, 100ms));
    const auto before = Clock::now();
    m_client.Write("\r\nP8;");
    m_client.Write(kStatusFrame);
    ASSERT_TRUE(m_server.WaitForRequests(2, kWithin));
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].bytes, test::Bytes("P8;"));
    EXPECT_EQ(requests[1].bytes, kStatusFrame);
    EXPECT_GE(requests[0].at, before);
    EXPECT_LE(requests[0].at, requests[1].at);

    Bytes all = test::Bytes("\r\nP8;");
    all.insert(all.end(), kStatusFrame.begin(), kStatusFrame.end());
    EXPECT_EQ(m_server.ReceivedBytes(), all);
    m_server.ClearLog();
    EXPECT_TRUE(m_server.Requests().empty());
    EXPECT_TRUE(m_server.ReceivedBytes().empty());
}

TEST(SimPtyServerLinkTest, ReplacesAnExistingLinkAndRemovesItsOwn) {
    PortsDir ports;
    const auto link = ports.Path() / "more" / "COM5";
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink("/dev/null", link);
    {
        PtyServer server(link.parent_path(), 5);
        EXPECT_EQ(std::filesystem::read_symlink(link), server.SlavePath());
        PtyServer fresh(ports.Path() / "new", 1);  // the ports directory is made if missing
        EXPECT_TRUE(std::filesystem::is_symlink(ports.Path() / "new" / "COM1"));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

}  // namespace
}  // namespace sim
