// A serial line that misbehaves: noise, trickling replies, floods, a sensor that goes quiet and
// an adapter pulled out and plugged back.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "sensor_fixture.h"
#include "zeko_api.h"

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
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(Sensor(3).Requests().size(), 4u);
}

// Noise that holds a ";" ends the exchange before its request is sent: the read takes it as
// its reply and, finding it malformed, asks again.
TEST_F(LinkFaultTest, TerminatedNoiseBeforeARequestCostsOneAttempt) {
    Connect();
    SendNoise(Sensor(3), std::string("\xff\0;;\x03\x03", 6));
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(Sensor(3).Requests().size(), 1u);
}

// The reply that follows noise in the same burst is stored over it and read as the reply.
TEST_F(LinkFaultTest, NoiseAheadOfAReplyIsOverwrittenByIt) {
    Connect();
    Sensor(3).Script(Raw("#~;P11=100;"));
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(Sensor(3).Requests().size(), 1u);
}

TEST_F(LinkFaultTest, RepliesTricklingInByteByByteStillArrive) {
    Connect();
    Sensor(3).Script(Trickle(Kind::Model, 20ms));
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);

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

    Sensor(3).Relink();
    EXPECT_EQ(ZEKO_initial(3, 19281, 115200), ZEKO_OK);
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace
