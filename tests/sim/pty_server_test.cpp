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

    test::PortsDir ports_;
    PtyServer server_{ports_.Path(), 3};
    test::PtyClient client_{server_.LinkPath()};
};

TEST_F(SimPtyServerTest, AnswersRequestsFromTheModel) {
    EXPECT_EQ(std::filesystem::read_symlink(ports_.Path() / "COM3"), server_.SlavePath());
    client_.Write("P8;");
    EXPECT_EQ(client_.ReadText(kWithin), "P8=19281;");

    StatusBytes status{};
    server_.WithModel([&](SensorModel& model) {
        model.SetVibration(0.25f);
        model.SetFlags(sensor::kFlagTamper);
        status = model.StatusBlock();
    });
    client_.Write(kStatusFrame);
    Bytes reply = {0, 0};
    reply.insert(reply.end(), status.begin(), status.end());
    EXPECT_EQ(client_.Read(reply.size(), kWithin), reply);

    client_.Write("P11=150;");
    EXPECT_EQ(client_.ReadText(kWithin), "P11R=0;");
    server_.WithModel([](SensorModel& model) { EXPECT_EQ(model.MovementThreshold(), 150); });
}

TEST_F(SimPtyServerTest, SplitAndConcatenatedRequests) {
    client_.Write("P1");
    std::this_thread::sleep_for(50ms);
    client_.Write("1;P8;");
    EXPECT_EQ(client_.ReadText(kWithin), "P11=100;");
    EXPECT_EQ(client_.ReadText(kWithin), "P8=19281;");
    // After a long pause a half request is forgotten, not glued to the next one.
    client_.Write("P8");
    std::this_thread::sleep_for(700ms);
    client_.Write("P11;");
    EXPECT_EQ(client_.ReadText(kWithin), "P11=100;");
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
    server_.Script(c.reply);
    const auto sent = Clock::now();
    client_.Write(c.request);
    EXPECT_EQ(client_.Read(c.answer.size(), kWithin + c.reply.delay), c.answer);
    EXPECT_GE(Clock::now() - sent, c.reply.delay);
    EXPECT_TRUE(client_.Read(1, kQuiet).empty()) << "nothing more for this request";
    client_.Write("P11;");
    EXPECT_EQ(client_.ReadText(kWithin), "P11=100;") << "a silenced write must not act";
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
    server_.Script(Make(Reply::Kind::HangUp));
    client_.Write("P8;");
    ExpectHungUp(client_);
    EXPECT_FALSE(server_.Connected());
}

// A late answer waits in the server, not in its thread: a later request is received and
// answered meanwhile. A raw answer does not wait for the server's delay either.
TEST_F(SimPtyServerTest, LateAnswersDoNotHoldUpOthers) {
    server_.SetReplyDelay(500ms);
    server_.Script(Make(Reply::Kind::Model));
    server_.Script(Make(Reply::Kind::Raw, 0ms, test::Bytes("raw;")));
    client_.Write("P8;P11;");
    EXPECT_EQ(client_.ReadText(kWithin), "raw;");
    EXPECT_EQ(client_.ReadText(kWithin), "P8=19281;");

    const auto sent = Clock::now();
    client_.Write("P11;");
    EXPECT_EQ(client_.ReadText(kWithin), "P11=100;");
    EXPECT_GE(Clock::now() - sent, 500ms);
    EXPECT_EQ(server_.ReplyDelay(), 500ms);
}

TEST_F(SimPtyServerTest, SilentUntilToldOtherwise) {
    server_.Script(Make(Reply::Kind::Raw, 0ms, test::Bytes("kept;")));
    server_.SetSilent(true);
    client_.Write("P8;P11;");
    ASSERT_TRUE(server_.WaitForRequests(2, kWithin));
    EXPECT_TRUE(client_.Read(1, kQuiet).empty());
    server_.SetSilent(false);
    client_.Write("P8;P8;");
    EXPECT_EQ(client_.ReadText(kWithin), "kept;") << "the script waited";
    EXPECT_EQ(client_.ReadText(kWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, SendRawArrivesUnasked) {
    const Bytes noise = {0x00, 0xFF, ';', 'P'};
    server_.SendRaw(noise);
    EXPECT_EQ(client_.Read(noise.size(), kWithin), noise);
}

TEST_F(SimPtyServerTest, HangUpThenRelinkAtTheSameName) {
    server_.HangUp();
    EXPECT_FALSE(server_.Connected());
    ExpectHungUp(client_);
    EXPECT_TRUE(std::filesystem::is_symlink(server_.LinkPath())) << "the link stays";
    server_.SendRaw({0x01});  // nothing to send it on; must not fail

    server_.Relink();
    EXPECT_EQ(std::filesystem::read_symlink(server_.LinkPath()), server_.SlavePath());
    test::PtyClient again(server_.LinkPath());
    again.Write("P8;");
    EXPECT_EQ(again.ReadText(kWithin), "P8=19281;");

    // Relinking while a client is connected hangs its line up.
    server_.Relink();
    ExpectHungUp(again);
    test::PtyClient third(server_.LinkPath());
    third.Write(kStatusFrame);
    EXPECT_EQ(third.Read(17, kWithin).size(), 17u);
}

TEST_F(SimPtyServerTest, LogsRequestsAndEveryByte) {
    EXPECT_FALSE(server_.WaitForRequests(1, 100ms));
    const auto before = Clock::now();
    client_.Write("\r\nP8;");
    client_.Write(kStatusFrame);
    ASSERT_TRUE(server_.WaitForRequests(2, kWithin));
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].bytes, test::Bytes("P8;"));
    EXPECT_EQ(requests[1].bytes, kStatusFrame);
    EXPECT_GE(requests[0].at, before);
    EXPECT_LE(requests[0].at, requests[1].at);

    Bytes all = test::Bytes("\r\nP8;");
    all.insert(all.end(), kStatusFrame.begin(), kStatusFrame.end());
    EXPECT_EQ(server_.ReceivedBytes(), all);
    server_.ClearLog();
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_TRUE(server_.ReceivedBytes().empty());
}

TEST(SimPtyServerLinkTest, ReplacesAnExistingLinkAndRemovesItsOwn) {
    test::PortsDir ports;
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
