// Opening, verifying, reading and writing through the link's exported functions.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comm_port.h"
#include "link_state.h"
#include "os/platform.h"
#include "sensor_fixture.h"
#include "test_platform.h"
#include "zeko_api.h"

namespace {

using namespace std::chrono_literals;
using Kind = sim::Reply::Kind;
using Clock = std::chrono::steady_clock;

using ConnectionTest = SensorFixture;

// True when nobody holds COM<com>, found by trying to open it. Wine lets a second handle open a
// port, so there the link's own handle tells.
bool PortIsFree(int com) {
    if (RunsUnderWine()) return !g_commPort.IsOpen();
    CCommPort probe;
    return probe.Open(com, 115200, 'N', 8, 1, EV_RXCHAR, 512) == 1;
}

TEST_F(ConnectionTest, NothingWorksBeforeInitial) {
    long value = 5;
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NOT_READY);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ZEKO_set(10, 1), ZEKO_NOT_READY);
    EXPECT_EQ(ZEKO_close(), ZEKO_NO_LOCK);
    EXPECT_EQ(ZEKO_reconnect(), ZEKO_OK);
    value = 5;
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NO_LOCK);
    EXPECT_EQ(value, 0);
}

TEST_F(ConnectionTest, FindsTheSensorAndShortensTheTimeout) {
    Sensor(3);
    EXPECT_EQ(g_commPort.ReplyTimeout(), 1000u);
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_OK);
    EXPECT_EQ(RequestTexts(), (std::vector<std::string>{"P8;", "P8;"}));
    EXPECT_EQ(g_commPort.ReplyTimeout(), 500u);
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);  // the simulated sensor's factory setting

    // A later initial keeps the short timeout, even when it fails.
    Sensor(4).SetSilent(true);
    EXPECT_EQ(ZEKO_initial(4, 19281, 115200), ZEKO_NO_ANSWER);
    EXPECT_EQ(g_commPort.ReplyTimeout(), 500u);
}

TEST_F(ConnectionTest, BadBaudRateRefusedWithoutTouchingThePort) {
    Connect();
    EXPECT_EQ(ZEKO_initial(3, 19281, 4800), ZEKO_BAD_ARGUMENT);
    EXPECT_TRUE(Sensor(3).Requests().empty());
    long value = 1;
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NOT_READY);
    EXPECT_FALSE(PortIsFree(3));
}

TEST_F(ConnectionTest, MissingPortIsNine) {
    EXPECT_EQ(ZEKO_initial(5, 19281, 115200), ZEKO_NO_PORT);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ConnectionTest, SilentPortCostsFourAttemptsAndIsClosed) {
    Sensor(3).SetSilent(true);
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_NO_ANSWER);
    EXPECT_EQ(RequestTexts(), (std::vector<std::string>(4, "P8;")));
    EXPECT_TRUE(PortIsFree(3));
    long value = 1;
    EXPECT_EQ(ZEKO_get(8, &value), ZEKO_NOT_READY);
}

TEST_F(ConnectionTest, WrongIdentityLeavesThePortOpen) {
    Sensor(3).WithModel([](sim::SensorModel& model) { model.SetIdentity(4242); });
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_WRONG_IDENTITY);
    EXPECT_FALSE(PortIsFree(3));
    long value = 1;
    EXPECT_EQ(ZEKO_get(8, &value), ZEKO_NOT_READY);
    EXPECT_EQ(ZEKO_initial(3, 4242, 115200), ZEKO_OK);
}

TEST_F(ConnectionTest, SecondIdentityReadDecides) {
    Sensor(3).Script(Kind(Kind::Silence));
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_OK);

    Sensor(3).Script(Kind(Kind::Model));
    Sensor(3).Script(Kind(Kind::Silence));
    Sensor(3).Script(Kind(Kind::Silence));
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_NO_ANSWER);
    EXPECT_TRUE(PortIsFree(3));
}

struct AttemptCase {
    const char* name;
    bool write;                        // ZEKO_set(11, 50) instead of ZEKO_get(10)
    std::vector<std::string> replies;  // "" = silence
    int result;
    long value;  // what ZEKO_get stored
    std::size_t requests;
    bool connectedAfter;
};

class Attempts : public SensorFixture, public ::testing::WithParamInterface<AttemptCase> {};

TEST_P(Attempts, DecideTheResult) {
    const AttemptCase& c = GetParam();
    Connect();
    for (const std::string& reply : c.replies) {
        Sensor(3).Script(reply.empty() ? Kind(Kind::Silence) : Raw(reply));
    }
    long value = -1;
    const int result = c.write ? ZEKO_set(11, 50) : ZEKO_get(10, &value);
    EXPECT_EQ(result, c.result);
    if (!c.write) {
        EXPECT_EQ(value, c.value);
    }
    const std::vector<std::string> expected(c.requests, c.write ? "P11=50;" : "P10;");
    EXPECT_EQ(RequestTexts(), expected);
    EXPECT_EQ(LinkReady(), c.connectedAfter);
    if (!c.connectedAfter) {
        EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NOT_READY);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, Attempts,
    ::testing::Values(
        AttemptCase{"GetFirstAnswers", false, {"P10=1056964608;"}, 0, 1056964608, 1, true},
        AttemptCase{"GetOtherParameterTwice", false, {"P11=3;", "P11=4;"}, 0, 4, 2, true},
        AttemptCase{"GetTimeoutThenValue", false, {"", "P10=9;"}, 0, 9, 2, true},
        AttemptCase{
            "GetSecondAcknowledges", false, {"P10R=0;", "P10R=0;"}, ZEKO_WRONG_REPLY, 0, 2, true},
        AttemptCase{"GetSilentTwice", false, {"", ""}, ZEKO_LINK_LOST, 0, 2, false},
        AttemptCase{"GetMalformed", false, {"X;", "P10=1x;"}, ZEKO_MALFORMED, 0, 2, true},
        AttemptCase{"GetErrorText", false, {"P10=ERR;", "P10=ERR;"}, ZEKO_GET_TEXT, 0, 2, true},
        AttemptCase{"SetAccepted", true, {"P11R=0;"}, 0, 0, 1, true},
        AttemptCase{"SetSensorCodeEndsAtOnce", true, {"P12R=5;"}, 5, 0, 1, true},
        AttemptCase{
            "SetOtherParameterTwice", true, {"P12R=0;", "P12R=0;"}, ZEKO_MALFORMED, 0, 2, true},
        AttemptCase{"SetSecondAccepted", true, {"P12R=0;", "P11R=0;"}, 0, 0, 2, true},
        AttemptCase{"SetSecondSensorCode", true, {"", "P11R=7;"}, 7, 0, 2, true},
        AttemptCase{
            "SetSecondValueReply", true, {"P11=50;", "P11=50;"}, ZEKO_WRONG_REPLY, 0, 2, true},
        AttemptCase{"SetSilentTwice", true, {"", ""}, ZEKO_LINK_LOST, 0, 2, false},
        AttemptCase{"SetMalformed", true, {"P11R=1x;", "Z;"}, ZEKO_MALFORMED, 0, 2, true},
        AttemptCase{"SetErrorText", true, {"P11R=BAD;", "P11R=BAD;"}, ZEKO_SET_TEXT, 0, 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, SetSendsTheLowThirtyTwoBits) {
    Connect();
    // 0.25f, with a bit above the 32 where long is wider (not on Windows, where long has 32).
    const long quarter = static_cast<long>(sizeof(long) > 4 ? 0x13E800000LL : 0x3E800000LL);
    EXPECT_EQ(ZEKO_set(10, quarter), ZEKO_OK);
    EXPECT_NE(ZEKO_set(11, 0xFFFFFFFDL), ZEKO_OK);  // -3: refused by the sensor
    EXPECT_EQ(RequestTexts(), (std::vector<std::string>{"P10=1048576000;", "P11=-3;"}));
    long value = 0;
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_OK);
    EXPECT_EQ(value, 1048576000);
}

TEST_F(ConnectionTest, ReconnectRevivesALostLink) {
    Connect();
    Sensor(3).SetSilent(true);
    long value = 0;
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_LINK_LOST);
    Sensor(3).SetSilent(false);
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NOT_READY);
    EXPECT_EQ(ZEKO_reconnect(), ZEKO_OK);
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
}

// Holds the access lock on another thread by leaving an exchange waiting in its error box,
// the way a modal box keeps a call open in the tool.
class HeldLock {
public:
    explicit HeldLock(sim::PtyServer& sensor) {
        SetMessageBoxHandler([this](const char*, const char*, UINT) {
            std::unique_lock lock(m_mutex);
            m_inBox = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
        });
        sim::Reply hangUp;
        hangUp.kind = Kind::HangUp;
        sensor.Script(hangUp);
        m_holder = std::thread([this] {
            long value = 0;
            m_result = ZEKO_get(10, &value);
        });
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_inBox; });
    }

    int Release() {
        {
            std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_changed.notify_all();
        m_holder.join();
        return m_result;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_inBox = false;
    bool m_released = false;
    std::thread m_holder;
    std::atomic<int> m_result{-100};
};

TEST_F(ConnectionTest, BusyLockGivesUpAfterItsWait) {
    Connect();
    HeldLock held(Sensor(3));
    long value = 7;
    const auto start = Clock::now();
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_LOCK_BUSY);
    EXPECT_GE(Clock::now() - start, 2600ms);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ZEKO_close(), ZEKO_LOCK_BUSY);
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_LOCK_BUSY);
    EXPECT_EQ(held.Release(), ZEKO_LINK_LOST);
    // The lock went back when the holder returned; the link itself was lost with the device.
    EXPECT_EQ(ZEKO_close(), ZEKO_OK);
}

TEST_F(ConnectionTest, CloseDiscardsTheLock) {
    Connect();
    EXPECT_EQ(ZEKO_close(), ZEKO_OK);
    EXPECT_TRUE(PortIsFree(3));
    long value = 1;
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NOT_READY);
    EXPECT_EQ(ZEKO_close(), ZEKO_NO_LOCK);
    ZEKO_reconnect();
    EXPECT_EQ(ZEKO_get(10, &value), ZEKO_NO_LOCK);
    EXPECT_EQ(ZEKO_set(10, 1), ZEKO_NO_LOCK);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, nullptr), ZEKO_NO_LOCK);
    // A new initial starts afresh.
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_OK);
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
}

// With KQ_DEBUG=1 a port that will not open says why on standard error: the failing call, the
// device and the system's reason. Without it, nothing.
TEST_F(ConnectionTest, DebugTraceNamesTheFailingCallAndDevice) {
    if (kWindowsBuild) GTEST_SKIP() << kPosixOnly;
    std::filesystem::create_symlink(m_portsDir / "nowhere", m_portsDir / "COM7");
    Sensor(3);
    CCommPort holder;  // another program holding COM3
    ASSERT_EQ(holder.Open(3, 115200, 'N', 8, 1, EV_RXCHAR, 512), 1);

    testing::internal::CaptureStderr();
    EXPECT_EQ(ZEKO_initial(7, 19281, 115200), ZEKO_NO_PORT);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    SetEnvironment("KQ_DEBUG", "1");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ZEKO_initial(7, 19281, 115200), ZEKO_NO_PORT);
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_NO_PORT);
    const std::string trace = testing::internal::GetCapturedStderr();
    UnsetEnvironment("KQ_DEBUG");
    EXPECT_EQ(trace, "zeko: open " + (m_portsDir / "COM7").string() +
                         ": No such file or directory\n"
                         "zeko: flock " +
                         (m_portsDir / "COM3").string() + ": Device or resource busy\n");
}

TEST_F(ConnectionTest, NullValuePointerIsRefused) {
    Connect();
    EXPECT_EQ(ZEKO_get(10, nullptr), ZEKO_BAD_ARGUMENT);
    EXPECT_TRUE(Sensor(3).Requests().empty());
}

}  // namespace
