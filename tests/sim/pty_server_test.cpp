#include "pty_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "bytes.h"
#include "pty_client.h"

namespace sim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr auto kAnswerWithin = 2000ms;  // generous: only a broken server takes this long
constexpr auto kQuiet = 300ms;          // how long "nothing arrives" is watched

const Bytes kStatusFrame = {0x03, 0x03, 0x10, 0x0A};

class SimPtyServerTest : public ::testing::Test {
protected:
    test::PortsDir ports_;
    PtyServer server_{ports_.Path(), 3};
};

std::string Text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

TEST_F(SimPtyServerTest, LinksThePtyAsTheComPort) {
    EXPECT_EQ(server_.LinkPath(), ports_.Path() / "COM3");
    ASSERT_TRUE(std::filesystem::is_symlink(server_.LinkPath()));
    EXPECT_EQ(std::filesystem::read_symlink(server_.LinkPath()), server_.SlavePath());
    EXPECT_EQ(server_.SlavePath().rfind("/dev/pts/", 0), 0u) << server_.SlavePath();
    EXPECT_TRUE(server_.Connected());
}

TEST_F(SimPtyServerTest, AnswersAReadRequest) {
    test::PtyClient client(server_.LinkPath());
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, AnswersTheStatusBlockWithTheModelsBytes) {
    StatusBytes expected{};
    server_.WithModel([&](SensorModel& model) {
        model.SetVibration(0.25f);
        model.SetFlags(sensor::kFlagTamper);
        expected = model.StatusBlock();
    });
    test::PtyClient client(server_.LinkPath());
    client.Write(kStatusFrame);
    Bytes reply = {0, 0};
    reply.insert(reply.end(), expected.begin(), expected.end());
    EXPECT_EQ(client.Read(reply.size(), kAnswerWithin), reply);
}

TEST_F(SimPtyServerTest, ModelChangesReachTheLine) {
    test::PtyClient client(server_.LinkPath());
    server_.WithModel([](SensorModel& model) { model.SetIdentity(4242); });
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=4242;");
    client.Write("P11=150;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P11R=0;");
    int threshold = 0;
    server_.WithModel([&](SensorModel& model) { threshold = model.MovementThreshold(); });
    EXPECT_EQ(threshold, 150);
}

TEST_F(SimPtyServerTest, RequestSplitAcrossWritesIsAnsweredOnce) {
    test::PtyClient client(server_.LinkPath());
    client.Write("P1");
    std::this_thread::sleep_for(50ms);
    client.Write("1;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P11=100;");
    EXPECT_TRUE(client.Read(1, kQuiet).empty());
    EXPECT_EQ(server_.Requests().size(), 1u);
}

TEST_F(SimPtyServerTest, ConcatenatedRequestsAreAnsweredInOrder) {
    test::PtyClient client(server_.LinkPath());
    client.Write("P8;P11;P12=7;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P11=100;");
    EXPECT_EQ(client.ReadText(kAnswerWithin),
              "P12R=" + std::to_string(SensorModel::kRefusedValue) + ";");
}

// After a long pause the rest of a broken request is not glued to the next one.
TEST_F(SimPtyServerTest, HalfRequestIsForgottenAfterSilence) {
    test::PtyClient client(server_.LinkPath());
    client.Write("P8");
    std::this_thread::sleep_for(700ms);
    client.Write("P11;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P11=100;");
}

struct ScriptCase {
    std::string name;
    Reply reply;
    std::string request;
    Bytes answer;  // what the client must receive, in full
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

class SimScriptedReplyTest : public SimPtyServerTest, public ::testing::WithParamInterface<ScriptCase> {};

// Each scripted answer replaces the model's for one request; the next request gets the model's.
TEST_P(SimScriptedReplyTest, AnswersOnceThenTheModelAgain) {
    const auto& c = GetParam();
    test::PtyClient client(server_.LinkPath());
    server_.Script(c.reply);
    const auto sent = Clock::now();
    client.Write(c.request);
    const auto answer = client.Read(c.answer.size(), kAnswerWithin + c.reply.delay);
    EXPECT_EQ(answer, c.answer);
    EXPECT_GE(Clock::now() - sent, c.reply.delay);
    EXPECT_TRUE(client.Read(1, kQuiet).empty()) << "nothing more for this request";
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
}

Reply Make(Reply::Kind kind, std::chrono::milliseconds delay = 0ms, Bytes bytes = {},
           int parameter = 0) {
    return Reply{kind, delay, std::move(bytes), parameter};
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SimScriptedReplyTest,
    ::testing::Values(
        ScriptCase{"Model", Make(Reply::Kind::Model), "P11;", test::Bytes("P11=100;")},
        ScriptCase{"ModelLate", Make(Reply::Kind::Model, 400ms), "P11;", test::Bytes("P11=100;")},
        ScriptCase{"Silence", Make(Reply::Kind::Silence), "P11;", {}},
        ScriptCase{"Raw", Make(Reply::Kind::Raw, 0ms, test::Bytes("P8=ERR;")), "P8;",
                   test::Bytes("P8=ERR;")},
        ScriptCase{"RawLate",
                   Make(Reply::Kind::Raw, 300ms, {0x05, 0x00, 0x01}),
                   "P8;",
                   {0x05, 0x00, 0x01}},
        ScriptCase{"OtherParameter", Make(Reply::Kind::OtherParameter, 0ms, {}, 11), "P8;",
                   test::Bytes("P11=19281;")},
        ScriptCase{"OtherParameterOnAWrite", Make(Reply::Kind::OtherParameter, 0ms, {}, 9),
                   "P11=20;", test::Bytes("P9R=0;")},
        ScriptCase{"Overflow", Make(Reply::Kind::Overflow), "P8;", Bytes(120, 'X')}),
    [](const auto& info) { return info.param.name; });

TEST_F(SimPtyServerTest, OverflowHasNoTerminator) {
    test::PtyClient client(server_.LinkPath());
    server_.Script(Make(Reply::Kind::Overflow));
    client.Write("P8;");
    const auto answer = client.Read(1000, 1000ms);
    EXPECT_GT(answer.size(), 100u);
    EXPECT_EQ(std::count(answer.begin(), answer.end(), ';'), 0);
}

TEST_F(SimPtyServerTest, SilencedRequestIsNotActedOn) {
    test::PtyClient client(server_.LinkPath());
    server_.Script(Make(Reply::Kind::Silence));
    client.Write("P11=5;");
    ASSERT_TRUE(server_.WaitForRequests(1, kAnswerWithin));
    client.Write("P11;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P11=100;");
}

TEST_F(SimPtyServerTest, ScriptedHangUpClosesTheLine) {
    test::PtyClient client(server_.LinkPath());
    server_.Script(Make(Reply::Kind::HangUp));
    client.Write("P8;");
    EXPECT_TRUE(client.Wait(kAnswerWithin) & POLLHUP);
    EXPECT_THAT(client.ReadError(), ::testing::AnyOf(0, EIO));
    EXPECT_EQ(client.WriteError(), EIO);
    EXPECT_FALSE(server_.Connected());
}

// A late answer waits in the server, not in its thread: later requests are still received and
// answered meanwhile.
TEST_F(SimPtyServerTest, LateAnswerDoesNotHoldUpTheNext) {
    test::PtyClient client(server_.LinkPath());
    server_.Script(Make(Reply::Kind::Model, 800ms));
    client.Write("P8;");
    ASSERT_TRUE(server_.WaitForRequests(1, kAnswerWithin));
    client.Write("P11;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P11=100;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, SilentUntilToldOtherwise) {
    test::PtyClient client(server_.LinkPath());
    server_.Script(Make(Reply::Kind::Raw, 0ms, test::Bytes("kept;")));
    server_.SetSilent(true);
    EXPECT_TRUE(server_.Silent());
    client.Write("P8;P11;");
    ASSERT_TRUE(server_.WaitForRequests(2, kAnswerWithin));
    EXPECT_TRUE(client.Read(1, kQuiet).empty());
    server_.SetSilent(false);
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "kept;");  // the script waited
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, ReplyDelayAppliesToEveryModelAnswer) {
    test::PtyClient client(server_.LinkPath());
    server_.SetReplyDelay(300ms);
    EXPECT_EQ(server_.ReplyDelay(), 300ms);
    for (const char* request : {"P8;", "P11;"}) {
        const auto sent = Clock::now();
        client.Write(request);
        EXPECT_FALSE(client.ReadText(kAnswerWithin).empty());
        EXPECT_GE(Clock::now() - sent, 300ms) << request;
    }
}

// A raw answer does not wait for the server's delay, so it overtakes a model answer before it.
TEST_F(SimPtyServerTest, RawAnswerIgnoresTheReplyDelay) {
    test::PtyClient client(server_.LinkPath());
    server_.SetReplyDelay(500ms);
    server_.Script(Make(Reply::Kind::Model));
    server_.Script(Make(Reply::Kind::Raw, 0ms, test::Bytes("raw;")));
    client.Write("P8;P11;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "raw;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, SendRawArrivesUnasked) {
    test::PtyClient client(server_.LinkPath());
    const Bytes noise = {0x00, 0xFF, ';', 'P'};
    server_.SendRaw(noise);
    EXPECT_EQ(client.Read(noise.size(), kAnswerWithin), noise);
    EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(SimPtyServerTest, HangUpIsSeenAsHangUpAndEio) {
    test::PtyClient client(server_.LinkPath());
    server_.HangUp();
    EXPECT_FALSE(server_.Connected());
    EXPECT_TRUE(client.Wait(kAnswerWithin) & POLLHUP);
    EXPECT_THAT(client.ReadError(), ::testing::AnyOf(0, EIO));
    EXPECT_EQ(client.WriteError(), EIO);
    EXPECT_TRUE(std::filesystem::is_symlink(server_.LinkPath())) << "the link stays";
    server_.SendRaw({0x01});  // nothing to send it on; must not fail
    EXPECT_TRUE(server_.SlavePath().empty());
}

TEST_F(SimPtyServerTest, RelinkServesAgainAtTheSameName) {
    {
        test::PtyClient client(server_.LinkPath());
        server_.HangUp();
        EXPECT_TRUE(client.Wait(kAnswerWithin) & POLLHUP);
    }
    server_.Relink();
    EXPECT_TRUE(server_.Connected());
    EXPECT_EQ(std::filesystem::read_symlink(server_.LinkPath()), server_.SlavePath());
    test::PtyClient client(server_.LinkPath());
    client.Write("P8;");
    EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
}

TEST_F(SimPtyServerTest, RelinkWhileConnectedHangsUpTheOldLine) {
    test::PtyClient old(server_.LinkPath());
    server_.Relink();
    EXPECT_TRUE(old.Wait(kAnswerWithin) & POLLHUP);
    test::PtyClient client(server_.LinkPath());
    client.Write(kStatusFrame);
    EXPECT_EQ(client.Read(17, kAnswerWithin).size(), 17u);
}

TEST_F(SimPtyServerTest, LogsRequestsAndEveryByte) {
    test::PtyClient client(server_.LinkPath());
    const auto before = Clock::now();
    client.Write("\r\nP8;");
    ASSERT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
    client.Write(kStatusFrame);
    ASSERT_EQ(client.Read(17, kAnswerWithin).size(), 17u);
    ASSERT_TRUE(server_.WaitForRequests(2, kAnswerWithin));

    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(Text(requests[0].bytes), "P8;");
    EXPECT_EQ(requests[1].bytes, kStatusFrame);
    EXPECT_GE(requests[0].at, before);
    EXPECT_LE(requests[0].at, requests[1].at);
    EXPECT_LE(requests[1].at, Clock::now());

    Bytes all = test::Bytes("\r\nP8;");
    all.insert(all.end(), kStatusFrame.begin(), kStatusFrame.end());
    EXPECT_EQ(server_.ReceivedBytes(), all);

    server_.ClearLog();
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_TRUE(server_.ReceivedBytes().empty());
}

TEST_F(SimPtyServerTest, WaitForRequestsGivesUpWhenNoneCome) {
    EXPECT_FALSE(server_.WaitForRequests(1, 100ms));
    EXPECT_TRUE(server_.WaitForRequests(0, 0ms));
}

TEST_F(SimPtyServerTest, WaitForRequestsWakesOnArrival) {
    test::PtyClient client(server_.LinkPath());
    std::thread writer([&client] {
        std::this_thread::sleep_for(100ms);
        client.Write("P8;");
    });
    EXPECT_TRUE(server_.WaitForRequests(1, kAnswerWithin));
    writer.join();
}

TEST(SimPtyServerLinkTest, ReplacesAnExistingLinkAndRemovesItsOwnWhenDone) {
    test::PortsDir ports;
    const auto link = ports.Path() / "COM5";
    std::filesystem::create_symlink("/dev/null", link);
    {
        PtyServer server(ports.Path(), 5);
        EXPECT_NE(std::filesystem::read_symlink(link), "/dev/null");
        test::PtyClient client(link);
        client.Write("P8;");
        EXPECT_EQ(client.ReadText(kAnswerWithin), "P8=19281;");
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimPtyServerLinkTest, CreatesAMissingPortsDirectory) {
    test::PortsDir ports;
    const auto dir = ports.Path() / "nested" / "ports";
    PtyServer server(dir, 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "COM1"));
}

TEST(SimPtyServerLinkTest, ServersOnTwoPortsAnswerIndependently) {
    test::PortsDir ports;
    PtyServer first(ports.Path(), 1);
    PtyServer second(ports.Path(), 2);
    second.WithModel([](SensorModel& model) { model.SetIdentity(7); });
    test::PtyClient a(first.LinkPath());
    test::PtyClient b(second.LinkPath());
    a.Write("P8;");
    b.Write("P8;");
    EXPECT_EQ(a.ReadText(kAnswerWithin), "P8=19281;");
    EXPECT_EQ(b.ReadText(kAnswerWithin), "P8=7;");
}

}  // namespace
}  // namespace sim
