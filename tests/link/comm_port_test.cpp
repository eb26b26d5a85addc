// The serial port class over a real pty, against the simulated sensor.
#include "comm_port.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "os/platform.h"
#include "sensor_fixture.h"
#include "system_error_text.h"
#include "test_platform.h"

namespace {

using namespace std::chrono_literals;
using Kind = sim::Reply::Kind;

constexpr int kCom = 3;

class CommPortTest : public SensorFixture {
protected:
    void OpenPort(int writeBufferSize = 512) {
        Sensor(kCom);
        ASSERT_EQ(m_port.Open(kCom, 115200, 'N', 8, 1, EV_RXCHAR | EV_RXFLAG, writeBufferSize), 1);
    }

    std::string Buffer(int length) const {
        return std::string(reinterpret_cast<const char*>(m_port.ReplyBuffer()), length);
    }

    // Fills the receive buffer with a known pattern through a real exchange.
    void PrimeBuffer(const std::string& pattern) {
        Sensor(kCom).Script(Raw(pattern));
        m_port.SetFixedLengthMode(static_cast<BYTE>(pattern.size()));
        m_port.ExchangeText("P8;");
        ASSERT_EQ(Buffer(static_cast<int>(pattern.size())), pattern);
    }

    CCommPort m_port;
};

struct FramingCase {
    const char* name;
    bool fixedLength;
    int replyLength;
    std::string reply;     // what the sensor sends
    std::string expected;  // the start of the receive buffer afterwards
    int receivedAfter;     // Received() afterwards
};

class CommPortFraming : public CommPortTest, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(CommPortFraming, EndsWhereTheModeSays) {
    const FramingCase& c = GetParam();
    OpenPort();
    Sensor(kCom).Script(Raw(c.reply));
    if (c.fixedLength) {
        m_port.SetFixedLengthMode(static_cast<BYTE>(c.replyLength));
    } else {
        m_port.SetTerminatorMode();
    }
    const CCommPort::Reply reply = m_port.ExchangeText("P8;");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data(), m_port.ReplyBuffer());
    EXPECT_EQ(Buffer(static_cast<int>(c.expected.size())), c.expected);
    EXPECT_FALSE(m_port.Receiving());
    EXPECT_EQ(m_port.Received(), c.receivedAfter);
    EXPECT_TRUE(Boxes().empty());
}

const std::string k100 = std::string(100, 'A');

INSTANTIATE_TEST_SUITE_P(
    Replies, CommPortFraming,
    ::testing::Values(
        FramingCase{"TerminatorEndsTheReply", false, 0, "P8=123;", "P8=123;", 0},
        FramingCase{"FixedLengthIgnoresTerminator", true, 17, "\x01;\x03;456789ABCDEFG",
                    "\x01;\x03;456789ABCDEFG", 0},
        FramingCase{"OverflowMarksIndexZero", false, 0, k100 + "B", ";" + k100.substr(1), 0},
        FramingCase{"OverflowInFixedLengthMode", true, 0, k100 + "B", ";" + k100.substr(1), 0},
        FramingCase{"BytesBehindAReplyOverwriteIt", false, 0, "P8=1;XY", "XY=1;", 2},
        FramingCase{"TerminatorInQueuedBytesCompletesAgain", false, 0, "P8=12;X;", "X;=12;", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommPortTest, PartialReplyGetsTheTimeoutMarkerOverItsStart) {
    OpenPort();
    Sensor(kCom).Script(Raw("ABCDEFGHIJ"));
    m_port.SetTerminatorMode();
    const auto start = std::chrono::steady_clock::now();
    m_port.ExchangeText("P8;");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_EQ(Buffer(10), "TIMEOUTHIJ");
    EXPECT_FALSE(m_port.Receiving());
    EXPECT_EQ(m_port.Received(), 10);
}

TEST_F(CommPortTest, NoReplyLeavesTheRestOfTheBufferAlone) {
    OpenPort();
    m_port.SetReplyTimeout(300);
    PrimeBuffer("0123456789abcdef");
    Sensor(kCom).SetSilent(true);
    m_port.SetTerminatorMode();
    EXPECT_FALSE(m_port.ExchangeText("P8;"));
    EXPECT_EQ(Buffer(16), "TIMEOUT789abcdef");
}

TEST_F(CommPortTest, FixedLengthZeroNeverCompletesByCount) {
    OpenPort();
    m_port.SetReplyTimeout(300);
    Sensor(kCom).Script(Raw("ab"));
    m_port.SetFixedLengthMode(0);
    m_port.ExchangeText("P8;");
    EXPECT_EQ(Buffer(7), "TIMEOUT");
}

// Input queued before the request is read first but belongs to no reply to it: the request
// still goes out and the exchange ends on its own reply.
TEST_F(CommPortTest, InputQueuedBeforeTheRequestNeverEndsTheExchange) {
    OpenPort();
    Sensor(kCom).SendRaw({'Q', ';'});
    std::this_thread::sleep_for(200ms);  // let the bytes reach the port's input queue
    m_port.SetTerminatorMode();
    m_port.ExchangeText("P8;");
    EXPECT_EQ(Buffer(9), "P8=19281;");
    EXPECT_EQ(Sensor(kCom).Requests().size(), 1u);
}

TEST_F(CommPortTest, ReplyTimeoutOutlivesCloseAndOpen) {
    OpenPort();
    m_port.SetReplyTimeout(500);
    m_port.Close();
    OpenPort();
    EXPECT_EQ(m_port.ReplyTimeout(), 500u);
}

// A reply that never came leaves the comm wait pending. Closing ends it before the handle goes,
// so nothing can later land in the OVERLAPPED or signal an event the next Open replaces.
TEST_F(CommPortTest, ClosingSeesAPendingWaitToItsEnd) {
    OpenPort();
    m_port.SetReplyTimeout(100);
    Sensor(kCom).SetSilent(true);
    m_port.SetTerminatorMode();
    m_port.ExchangeText("P8;");
    ASSERT_TRUE(m_port.CommWaitPending());
    const HANDLE waitEvent = m_port.PortEvent();
    m_port.Close();
    EXPECT_EQ(WaitForSingleObject(waitEvent, 0), WAIT_OBJECT_0);
}

TEST_F(CommPortTest, ReopeningClosesTheOldHandleFirst) {
    OpenPort();
    // The port is held exclusively, so a second open would fail were the first still open.
    OpenPort();
    Sensor(kCom).Script(Raw("P8=1;"));
    m_port.SetTerminatorMode();
    m_port.ExchangeText("P8;");
    EXPECT_EQ(Buffer(5), "P8=1;");
}

TEST_F(CommPortTest, PortIsNotShared) {
    if (RunsUnderWine()) GTEST_SKIP() << kWineSharesPorts;
    OpenPort();
    CCommPort other;
    EXPECT_EQ(other.Open(kCom, 115200, 'N', 8, 1, EV_RXCHAR, 512), 0);
}

TEST_F(CommPortTest, MissingPortFailsWithoutABox) {
    EXPECT_EQ(m_port.Open(9, 115200, 'N', 8, 1, EV_RXCHAR, 512), 0);
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_TRUE(Boxes().empty());
}

#if defined(_WIN32)
// The words a program gets for `code` through the system's wide API, as UTF-8: what the box must
// carry, whatever the code page.
std::string WideSystemWords(DWORD code) {
    wchar_t* words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&words), 0, nullptr);
    std::string utf8(length * 3, '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, words, static_cast<int>(length), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    LocalFree(words);
    return utf8;
}
#endif

// CTest runs this again under Wine in a Chinese locale (code page 936, KQ_CODE_PAGE says so):
// the system's words there are Chinese and must reach the box intact.
TEST_F(CommPortTest, BadLineSettingsNameTheFailingStep) {
    Sensor(kCom);
    EXPECT_EQ(m_port.Open(kCom, 115200, 'X', 8, 1, EV_RXCHAR, 512), 1);
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Application Error|WARNING:  BuildCommDCB() Failed with the "
                             "following error: \n",
                             0),
              0u)
        << boxes[0];
    EXPECT_NE(boxes[0].find("\nPort: 3\n"), std::string::npos);
#if defined(_WIN32)
    if (const char* codePage = std::getenv("KQ_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), std::stoul(codePage)) << "the locale did not reach Wine";
    }
    const std::string words = WideSystemWords(ERROR_INVALID_PARAMETER);
    ASSERT_FALSE(words.empty());
    EXPECT_NE(boxes[0].find("\n" + words + "\nPort: 3\n"), std::string::npos) << boxes[0];
    // The port probe's report carries the same words, without their line break.
    EXPECT_EQ(words.rfind(SystemErrorText(ERROR_INVALID_PARAMETER), 0), 0u);
#endif
}

// A closed port refuses the exchange at once, as a request that does not fit: no box, no wait.
TEST_F(CommPortTest, ExchangeAfterCloseTimesOutAtOnceWithoutSending) {
    OpenPort();
    m_port.Close();
    m_port.SetTerminatorMode();
    const auto start = std::chrono::steady_clock::now();
    m_port.ExchangeText("P8;");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(Buffer(7), "TIMEOUT");
    EXPECT_FALSE(Sensor(kCom).WaitForRequests(1, 100ms));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommPortTest, RequestLongerThanTheWriteBufferIsRefused) {
    OpenPort(8);
    m_port.SetTerminatorMode();
    m_port.ExchangeText("P1234567;");  // nine characters and the NUL: two too many
    EXPECT_EQ(Buffer(7), "TIMEOUT");
    const BYTE frame[9] = {};
    m_port.ExchangeBytes(frame, sizeof frame);
    EXPECT_EQ(Buffer(7), "TIMEOUT");
    EXPECT_FALSE(Sensor(kCom).WaitForRequests(1, 100ms));
    EXPECT_TRUE(Sensor(kCom).ReceivedBytes().empty());
}

TEST_F(CommPortTest, EveryByteValuePassesBothWays) {
    OpenPort();
    Sensor(kCom).SetSilent(true);
    std::vector<BYTE> all(256);
    std::iota(all.begin(), all.end(), 0);
    m_port.SetReplyTimeout(200);
    m_port.SetFixedLengthMode(100);
    m_port.ExchangeBytes(all.data(), static_cast<int>(all.size()));
    for (int i = 0; i < 50 && Sensor(kCom).ReceivedBytes().size() < all.size(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(Sensor(kCom).ReceivedBytes(), all);

    Sensor(kCom).SetSilent(false);
    m_port.SetReplyTimeout(1000);
    for (int first = 0; first < 256; first += 100) {
        const int count = std::min(100, 256 - first);
        sim::Reply reply;
        reply.kind = Kind::Raw;
        reply.bytes.assign(all.begin() + first, all.begin() + first + count);
        Sensor(kCom).Script(reply);
        m_port.SetFixedLengthMode(static_cast<BYTE>(count));
        m_port.ExchangeText("P8;");
        EXPECT_EQ(std::vector<BYTE>(m_port.ReplyBuffer(), m_port.ReplyBuffer() + count),
                  reply.bytes)
            << "bytes from " << first;
    }
}

// The port is let go at once (a re-plugged adapter finds its name free) and the exchange ends
// without waiting out its time.
TEST_F(CommPortTest, HangUpMidExchangeLetsThePortGoAtOnceWithOneBox) {
    OpenPort();
    Sensor(kCom).Script(Kind(Kind::HangUp));
    m_port.SetTerminatorMode();
    m_port.SetReplyTimeout(60000);  // an exchange that waited it out could not pass
    const auto start = std::chrono::steady_clock::now();
    m_port.ExchangeText("P8;");
    EXPECT_EQ(Buffer(7), "TIMEOUT");
    EXPECT_TRUE(m_port.DeviceGone());
    EXPECT_FALSE(m_port.IsOpen());
    ASSERT_EQ(Boxes().size(), 1u);
    // The Linux layer gives errno's words; on Windows the pending wait fails, in the words of
    // whatever driver the adapter has.
    const char* reason = kWindowsBuild ? "WaitCommEvent()" : "Input/output error";
    EXPECT_NE(Boxes()[0].find(reason), std::string::npos) << Boxes()[0];

    // The device stays gone: later exchanges end at once without another box.
    m_port.ExchangeText("P8;");
    EXPECT_EQ(Buffer(7), "TIMEOUT");
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    Sensor(kCom).Relink();
    OpenPort();
    EXPECT_FALSE(m_port.DeviceGone());
}

}  // namespace
