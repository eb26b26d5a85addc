// A serial line that misbehaves: noise, trickling replies, floods, a sensor that goes quiet and
// an adapter pulled out and plugged back.
#if !defined(_WIN32)
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "comm_port.h"
#include "link_state.h"
#include "os/platform.h"
#include "sensor_fixture.h"
#include "test_platform.h"
#include "zeko_api.h"
#include "zeko_scan.h"

namespace {

using namespace std::chrono_literals;
using Kind = sim::Reply::Kind;
using Bytes = std::vector<unsigned char>;

using LinkFaultTest = SensorFixture;

sim::Reply Trickle(Kind kind, std::chrono::milliseconds gap) {
    sim::Reply reply;
    reply.kind = kind;
    reply.byteGap = gap;
    return reply;
}

void SendNoise(sim::PtyServer& sensor, const std::string& noise) {
    sensor.SendRaw(std::vector<std::uint8_t>(noise.begin(), noise.end()));
    std::this_thread::sleep_for(100ms);  // let it reach the port's input queue
}

// The simulated sensor holds parameter 11 at 100.
void ExpectParameter11Read() {
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
}

// Noise that ends in no reply is drained before the request goes out; the send step discards
// it, so the reply starts afresh and no exchange after it is shifted.
TEST_F(LinkFaultTest, FragmentsBeforeARequestAreDiscardedWhenItIsSent) {
    Connect();
    Bytes expected(15);
    Sensor(3).WithModel([&](sim::SensorModel& model) {
        model.SetLive(false);
        const sim::StatusBytes block = model.StatusBlock();
        expected.assign(block.begin(), block.end());
    });
    for (int round = 0; round < 3; ++round) {
        SendNoise(Sensor(3), std::string("\0\0\x01", 3));
        Bytes status(15);
        EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status.data()), ZEKO_OK);
        EXPECT_EQ(status, expected) << "round " << round;
    }
    SendNoise(Sensor(3), "P11");
    ExpectParameter11Read();
    EXPECT_EQ(Sensor(3).Requests().size(), 4u);
}

// Noise that holds a ";" and waits before a request is read and dropped: it never ends the
// exchange, and the request still goes out.
TEST_F(LinkFaultTest, TerminatedNoiseBeforeARequestIsDropped) {
    Connect();
    SendNoise(Sensor(3), std::string("\xff\0;;\x03\x03", 6));
    ExpectParameter11Read();
    EXPECT_EQ(Sensor(3).Requests().size(), 1u);
}

// The reply that follows noise in the same burst is stored over it and read as the reply.
TEST_F(LinkFaultTest, NoiseAheadOfAReplyIsOverwrittenByIt) {
    Connect();
    Sensor(3).Script(Raw("#~;P11=100;"));
    ExpectParameter11Read();
    EXPECT_EQ(Sensor(3).Requests().size(), 1u);
}

TEST_F(LinkFaultTest, RepliesTricklingInByteByByteStillArrive) {
    Connect();
    Sensor(3).Script(Trickle(Kind::Model, 20ms));
    ExpectParameter11Read();

    Sensor(3).Script(Trickle(Kind::Model, 20ms));  // 17 bytes in about 340 ms
    unsigned char status[15] = {};
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_OK);
    EXPECT_EQ(Sensor(3).Requests().size(), 2u);
}

TEST_F(LinkFaultTest, FloodsAreMalformedAndLeaveTheLinkUp) {
    Connect();
    Sensor(3).Script(Kind(Kind::Overflow));
    Sensor(3).Script(Kind(Kind::Overflow));
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_MALFORMED);
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
}

TEST_F(LinkFaultTest, QuietSensorLosesTheLinkUntilReconnect) {
    Connect();
    Sensor(3).SetSilent(true);
    unsigned char status[15];
    // A block command alone does not mark the link lost; a parameter read does.
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_NO_LOCK);
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_LINK_LOST);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_NOT_READY);
    Sensor(3).SetSilent(false);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_NOT_READY);
    EXPECT_FALSE(LinkDeviceGone());  // silent, not gone: the port stays open
    ZEKO_reconnect();
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_OK);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkFaultTest, PulledAdapterIsReportedOnceAndANewOneIsFoundAgain) {
    Connect();
    Sensor(3).HangUp();
    unsigned char status[15];
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_NO_LOCK);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status), ZEKO_NO_LOCK);
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_LINK_LOST);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("Port: 3"), std::string::npos);
    EXPECT_TRUE(LinkDeviceGone()) << Boxes()[0];
    EXPECT_FALSE(g_commPort.IsOpen());  // let go, so the adapter keeps its name

    Sensor(3).Relink();
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_OK);
    EXPECT_FALSE(LinkDeviceGone());
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(Boxes().size(), 1u);
}

// A block reply that comes after its call gave up is not the next call's answer: the next
// call sends its own request and returns its own record.
TEST_F(LinkFaultTest, LateReplyNeverAnswersTheNextCommand) {
    Connect();
    Bytes records[3] = {Bytes(16), Bytes(16), Bytes(16)};
    for (unsigned char number : {1, 2}) {
        ASSERT_EQ(ZEKO_super_command(11, 1, 16, &number, records[number].data()), ZEKO_OK);
    }
    ASSERT_NE(records[1], records[2]);

    sim::Reply late;
    late.delay = 800ms;  // the call gives up after 500 ms
    Sensor(3).Script(late);
    const unsigned char first = 1;
    Bytes record(16);
    EXPECT_EQ(ZEKO_super_command(11, 1, 16, &first, record.data()), ZEKO_NO_LOCK);
    std::this_thread::sleep_for(600ms);  // the late reply is waiting now

    const unsigned char second = 2;
    EXPECT_EQ(ZEKO_super_command(11, 1, 16, &second, record.data()), ZEKO_OK);
    EXPECT_EQ(record, records[2]);
    const std::vector<sim::Received> requests = Sensor(3).Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests.back().bytes.back(), second);
}

#if !defined(_WIN32)
// A device that sends without pause, as fast as its pty takes bytes, for up to `limit`; linked
// as COM<com> in the ports folder.
class StreamingDevice {
public:
    StreamingDevice(const std::filesystem::path& portsDir, int com, std::chrono::seconds limit) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
        std::filesystem::create_symlink(ptsname(m_master),
                                        portsDir / ("COM" + std::to_string(com)));
        m_writer = std::thread([this, limit] {
            const std::vector<char> chunk(4096, 'x');
            const auto end = std::chrono::steady_clock::now() + limit;
            while (m_streaming && std::chrono::steady_clock::now() < end) {
                pollfd p{m_master, POLLOUT, 0};
                if (poll(&p, 1, 10) > 0) (void)!write(m_master, chunk.data(), chunk.size());
            }
        });
    }
    ~StreamingDevice() {
        m_streaming = false;
        if (m_writer.joinable()) m_writer.join();
        if (m_master >= 0) close(m_master);
    }

private:
    int m_master = -1;
    std::atomic<bool> m_streaming{true};
    std::thread m_writer;
};
#endif

// A port that streams without pause: the exchange still ends within its reply timeout and one
// wait slice.
TEST_F(LinkFaultTest, EndlessStreamDoesNotHoldTheExchange) {
#if defined(_WIN32)
    GTEST_SKIP() << kOwnPty;
#else
    CCommPort port;
    ASSERT_EQ(port.Open(6, 115200, 'N', 8, 1, EV_RXCHAR | EV_RXFLAG, 512), 0);
    StreamingDevice device(m_portsDir, 6, 8s);
    ASSERT_EQ(port.Open(6, 115200, 'N', 8, 1, EV_RXCHAR | EV_RXFLAG, 512), 1);
    std::this_thread::sleep_for(50ms);
    port.SetTerminatorMode();
    const auto start = std::chrono::steady_clock::now();
    port.ExchangeText("P11;");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_TRUE(Boxes().empty());
#endif
}

// After an initial that found no port, reconnect and a read cost no box and no wait.
TEST_F(LinkFaultTest, ReconnectOnAPortThatNeverOpenedShowsNoBox) {
    EXPECT_EQ(ZEKO_initial(9, 19281, 115200), ZEKO_NO_PORT);
    EXPECT_EQ(ZEKO_reconnect(), ZEKO_OK);
    long value = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_LINK_LOST);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_TRUE(Boxes().empty());
}

// ZEKO_initial reopens the port while another thread runs exchanges: both go on safely, every
// result one the header names. Run under ./kq sanitize, a use after free shows here.
TEST_F(LinkFaultTest, InitialRacingAnotherThreadIsSafe) {
    Connect();
    std::atomic<bool> reopening{true};
    std::vector<int> pollResults;
    std::thread poller([&] {
        while (reopening) {
            unsigned char status[15];
            pollResults.push_back(ZEKO_super_command(10, 0, 15, nullptr, status));
            long value = 0;
            pollResults.push_back(ZEKO_get(11, &value));
        }
    });
    for (int i = 0; i < 50; ++i) EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_OK);
    reopening = false;
    poller.join();
    for (int result : pollResults) {
        EXPECT_TRUE(result == ZEKO_OK || result == ZEKO_NOT_READY) << result;
    }
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
