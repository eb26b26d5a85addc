// Block commands: the frames sent, the replies taken, the arguments refused.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "os/platform.h"
#include "sensor_fixture.h"
#include "zeko_api.h"

namespace {

using namespace std::chrono_literals;
using Kind = sim::Reply::Kind;
using Bytes = std::vector<unsigned char>;

constexpr unsigned char kGuard = 0xEE;

class BlockCommandTest : public SensorFixture {
protected:
    static sim::Reply RawBytes(const Bytes& bytes) {
        sim::Reply reply;
        reply.kind = Kind::Raw;
        reply.bytes = bytes;
        return reply;
    }

    // Leaves COM<com> with XON/XOFF on, as another program (or a Linux tty's default IXON) can:
    // set through the platform's own calls and read back, so the case is real on both.
    bool LeaveXonXoffOn(int com) {
        Sensor(com);
        char name[32];
        std::snprintf(name, sizeof name, kPortNameFormat, com);
        const HANDLE port = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (port == INVALID_HANDLE_VALUE) return false;
        DCB settings{};
        settings.DCBlength = sizeof settings;
        bool set = GetCommState(port, &settings);
        settings.fOutX = TRUE;
        settings.fInX = TRUE;
        set = set && SetCommState(port, &settings) && GetCommState(port, &settings);
        CloseHandle(port);
        return set && settings.fOutX && settings.fInX;
    }

    Bytes Frames() {
        Bytes sent;
        for (const sim::Received& r : Sensor(3).Requests()) {
            sent.insert(sent.end(), r.bytes.begin(), r.bytes.end());
        }
        return sent;
    }
};

// A reply of the given status bytes followed by `length` data bytes 1, 2, 3, ...
Bytes Reply(unsigned char link, unsigned char command, int length) {
    Bytes reply{link, command};
    for (int i = 1; i <= length; ++i) reply.push_back(static_cast<unsigned char>(i));
    return reply;
}

struct FrameCase {
    const char* name;
    unsigned command;
    Bytes payload;
    int replyLength;
    Bytes frame;  // what the sensor must receive
    // The port had XON/XOFF on before the link opened it; data bytes 1 to 98 hold XON (0x11)
    // and then XOFF (0x13).
    bool xonXoffLeftOn = false;
};

class BlockFrames : public BlockCommandTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(BlockFrames, AreSentAsLaidOut) {
    const FrameCase& c = GetParam();
    ASSERT_TRUE(!c.xonXoffLeftOn || LeaveXonXoffOn(3));
    Connect();
    Sensor(3).Script(RawBytes(Reply(0, 0, c.replyLength)));
    Bytes reply(c.replyLength + 1, kGuard);
    EXPECT_EQ(ZEKO_super_command(c.command, static_cast<int>(c.payload.size()), c.replyLength,
                                 c.payload.data(), reply.data()),
              ZEKO_OK);
    EXPECT_EQ(Frames(), c.frame);
    Bytes expected = Reply(0, 0, c.replyLength);
    expected.erase(expected.begin(), expected.begin() + 2);
    expected.push_back(kGuard);  // nothing written past replyLength
    EXPECT_EQ(reply, expected);
    // Whatever bytes the reply held, the next request still goes out and is answered.
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, BlockFrames,
    ::testing::Values(FrameCase{"StatusPoll", 10, {}, 15, {0x03, 0x03, 0x10, 0x0A}},
                      FrameCase{"AlarmRecord", 11, {4}, 16, {0x03, 0x04, 0x11, 0x0B, 0x04}},
                      FrameCase{"Command200IsTypeThree", 200, {}, 1, {0x03, 0x03, 0x02, 0xC8}},
                      FrameCase{
                          "Command201IsTypeOne", 201, {9, 8}, 0, {0x01, 0x05, 0x01, 0xC9, 9, 8}},
                      FrameCase{"LongestReply", 12, {}, 98, {0x03, 0x03, 0x63, 0x0C}},
                      FrameCase{"XonXoffLeftOn", 12, {}, 98, {0x03, 0x03, 0x63, 0x0C}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct StatusCase {
    const char* name;
    Bytes replyBytes;
    int result;
    bool copied;
};

class BlockStatus : public BlockCommandTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(BlockStatus, DecideResultAndCopy) {
    const StatusCase& c = GetParam();
    Connect();
    Sensor(3).Script(RawBytes(c.replyBytes));
    Bytes reply(4, kGuard);
    EXPECT_EQ(ZEKO_super_command(10, 0, 4, nullptr, reply.data()), c.result);
    const Bytes untouched(4, kGuard);
    const Bytes data(c.replyBytes.begin() + 2, c.replyBytes.end());
    EXPECT_EQ(reply, c.copied ? data : untouched);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, BlockStatus,
    ::testing::Values(
        StatusCase{"Success", {0, 0, 1, 2, 3, 4}, 0, true},
        StatusCase{"LinkStatusWins", {5, 0, 1, 2, 3, 4}, 5, false},
        StatusCase{"CommandStatusStillCopies", {0, 3, 1, 2, 3, 4}, 3, true},
        StatusCase{"ReplyLookingLikeTimeout", {'T', 'I', 'M', 'E', 0, 0}, ZEKO_NO_LOCK, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlockCommandTest, EmptyReplyDataCopiesNothing) {
    Connect();
    Sensor(3).Script(RawBytes({0, 0}));
    EXPECT_EQ(ZEKO_super_command(30, 0, 0, nullptr, nullptr), ZEKO_OK);
}

struct RefusedCase {
    const char* name;
    unsigned command;
    int payloadLength;
    int replyLength;
};

class BlockRefused : public BlockCommandTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(BlockRefused, BeforeAnythingIsSent) {
    const RefusedCase& c = GetParam();
    Connect();
    Bytes payload(200, 1);
    Bytes reply(300, kGuard);
    EXPECT_EQ(
        ZEKO_super_command(c.command, c.payloadLength, c.replyLength, payload.data(), reply.data()),
        ZEKO_BAD_ARGUMENT);
    EXPECT_EQ(reply, Bytes(300, kGuard));
    // Nothing went out and the lock came back: the next command works.
    Bytes status(15);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status.data()), ZEKO_OK);
    EXPECT_EQ(Frames(), (Bytes{0x03, 0x03, 0x10, 0x0A}));
}

INSTANTIATE_TEST_SUITE_P(Arguments, BlockRefused,
                         ::testing::Values(RefusedCase{"ReplyLength99", 10, 0, 99},
                                           RefusedCase{"ReplyLength255", 10, 0, 255},
                                           RefusedCase{"ReplyLength256", 10, 0, 256},
                                           RefusedCase{"NegativeReplyLength", 10, 0, -1},
                                           RefusedCase{"Payload97", 10, 97, 15},
                                           RefusedCase{"NegativePayload", 10, -1, 15},
                                           RefusedCase{"Command256", 256, 0, 15},
                                           RefusedCase{"CommandAllOnes", 0xFFFFFFFF, 0, 15}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlockCommandTest, MissingBuffersAreRefused) {
    Connect();
    unsigned char reply[4];
    EXPECT_EQ(ZEKO_super_command(11, 1, 4, nullptr, reply), ZEKO_BAD_ARGUMENT);
    const unsigned char payload[1] = {1};
    EXPECT_EQ(ZEKO_super_command(11, 1, 4, payload, nullptr), ZEKO_BAD_ARGUMENT);
    EXPECT_TRUE(Sensor(3).Requests().empty());
}

TEST_F(BlockCommandTest, Command87ReleasesTheLockLikeAnyOther) {
    Connect();
    Sensor(3).Script(RawBytes(Reply(0, 0, 2)));
    unsigned char reply[2] = {};
    EXPECT_EQ(ZEKO_super_command(87, 0, 2, nullptr, reply), ZEKO_OK);
    EXPECT_EQ(reply[0], 1);
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
}

TEST_F(BlockCommandTest, SilenceIsOneAttemptAndKeepsTheLink) {
    Connect();
    Sensor(3).Script(Kind(Kind::Silence));
    Bytes reply(15, kGuard);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, reply.data()), ZEKO_NO_LOCK);
    EXPECT_EQ(reply, Bytes(15, kGuard));
    EXPECT_EQ(Sensor(3).Requests().size(), 1u);
    long value = 0;
    EXPECT_EQ(ZEKO_get(11, &value), ZEKO_OK);
}

TEST_F(BlockCommandTest, NotReadyTouchesNothing) {
    Sensor(3);
    unsigned char reply[15];
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, reply), ZEKO_NOT_READY);
    EXPECT_EQ(ZEKO_close(), ZEKO_NO_LOCK);
}

TEST_F(BlockCommandTest, ModelStatusBlockArrivesWhole) {
    Connect();
    Bytes status(15, kGuard);
    EXPECT_EQ(ZEKO_super_command(10, 0, 15, nullptr, status.data()), ZEKO_OK);
    // The record count (last byte) matches the records the sensor answers for.
    const int count = status[14];
    ASSERT_GT(count, 0);
    Bytes record(16);
    const unsigned char last = static_cast<unsigned char>(count);
    EXPECT_EQ(ZEKO_super_command(11, 1, 16, &last, record.data()), ZEKO_OK);
    const unsigned char beyond = static_cast<unsigned char>(count + 1);
    EXPECT_NE(ZEKO_super_command(11, 1, 16, &beyond, record.data()), ZEKO_OK);
}

TEST(FieldReaders, ReadBigEndianUnsignedBytes) {
    const unsigned char bytes[] = {0xBF, 0x80, 0x00, 0x01, 0xFF, 0xFE};
    EXPECT_EQ(ReadBE32(bytes), static_cast<int>(0xBF800001u));
    EXPECT_EQ(ReadBE16(bytes + 4), 65534);
    EXPECT_EQ(ReadBE16(bytes + 2), 1);
}

}  // namespace
