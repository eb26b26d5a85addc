// Sorting parameter replies into their five outcomes, over a real pty.
#include "parameter_protocol.h"

#include <string>

#include "link_state.h"
#include "os/platform.h"
#include "sensor_fixture.h"

namespace {

constexpr int kUntouchedNumber = -7777;
constexpr long kUntouchedValue = -8888;
constexpr char kUntouchedText = '#';

struct ReplyCase {
    const char* name;
    std::string reply;
    int outcome;
    int number;             // kUntouchedNumber: not written
    long value;             // kUntouchedValue: not written
    const char* errorText;  // nullptr: not written; else the text before its ";"
};

class ParameterReply : public SensorFixture, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ParameterReply, IsSortedIntoItsOutcome) {
    const ReplyCase& c = GetParam();
    Sensor(3).Script(Raw(c.reply));
    ASSERT_EQ(g_commPort.Open(3, 115200, 'N', 8, 1, EV_RXCHAR | EV_RXFLAG, 512), 1);

    int number = kUntouchedNumber;
    long value = kUntouchedValue;
    char errorText[kErrorTextCapacity + 4];
    std::fill(std::begin(errorText), std::end(errorText), kUntouchedText);
    EXPECT_EQ(ExchangeParameter("P8;", &number, &value, errorText), c.outcome);
    EXPECT_EQ(number, c.number);
    EXPECT_EQ(value, c.value);
    if (c.errorText == nullptr) {
        EXPECT_EQ(errorText[0], kUntouchedText);
    } else {
        const std::string expected = std::string(c.errorText) + ";";
        EXPECT_EQ(std::string(errorText, expected.size()), expected);
        EXPECT_EQ(errorText[expected.size()], kUntouchedText);  // no NUL after the ";"
    }
    EXPECT_FALSE(g_commPort.FixedLength());
    EXPECT_EQ(Text(Sensor(3).Requests().at(0).bytes), "P8;");
}

const std::string k50Digits(50, '9');
const std::string k25Letters = "ABCDEFGHIJKLMNOPQRSTUVWXY";

INSTANTIATE_TEST_SUITE_P(
    Replies, ParameterReply,
    ::testing::Values(
        ReplyCase{"Value", "P8=123;", 0, 8, 123, nullptr},
        ReplyCase{"LowerCaseLetter", "p8=123;", 0, 8, 123, nullptr},
        ReplyCase{"NegativeValue", "P11=-5;", 0, 11, -5, nullptr},
        ReplyCase{"NegativeZero", "P11=-0;", 0, 11, 0, nullptr},
        ReplyCase{"Acknowledgement", "P12R=0;", 1, 12, 0, nullptr},
        ReplyCase{"ByteAfterRNotLookedAt", "P12R:7;", 1, 12, 7, nullptr},
        ReplyCase{"SkippedDigitLeavesNoValue", "P12R0;", 4, 12, kUntouchedValue, ""},
        ReplyCase{"EmptyValue", "P8=;", 4, 8, kUntouchedValue, ""},
        ReplyCase{"SignAlone", "P8=-;", 4, 8, kUntouchedValue, ""},
        ReplyCase{"ErrorText", "P8=ERR;", 4, 8, kUntouchedValue, "ERR"},
        ReplyCase{"PlusIsNoSign", "P8=+5;", 4, 8, kUntouchedValue, "+5"},
        ReplyCase{"OnlyOneMinusIsASign", "P8=--5;", 4, 8, kUntouchedValue, "-5"},
        ReplyCase{"ErrorTextCutAtTwenty", "P8=" + k25Letters + ";", 4, 8, kUntouchedValue,
                  "ABCDEFGHIJKLMNOPQRST"},
        ReplyCase{"ElevenDigits", "P8=12345678901;", 3, 8, kUntouchedValue, nullptr},
        ReplyCase{"DigitsNotEndedByTerminator", "P8=12x;", 3, 8, kUntouchedValue, nullptr},
        ReplyCase{"NoNumber", "P=5;", 3, kUntouchedNumber, kUntouchedValue, nullptr},
        ReplyCase{"BadSeparator", "P8:5;", 3, kUntouchedNumber, kUntouchedValue, nullptr},
        ReplyCase{"BadLetter", "Q8=5;", 3, kUntouchedNumber, kUntouchedValue, nullptr},
        ReplyCase{"FiftyOneDigits", "P9" + k50Digits + "=5;", 3, kUntouchedNumber, kUntouchedValue,
                  nullptr},
        // 10^50 - 1 does not fit 32 bits; it wraps to all ones (2^32 divides 10^50).
        ReplyCase{"FiftyDigits", "P" + k50Digits + "=5;", 0, -1, 5, nullptr},
        ReplyCase{"TimeoutMarkerText", "TIMEOUT;", 2, kUntouchedNumber, kUntouchedValue, nullptr},
        ReplyCase{"OverflowMark", std::string(101, 'P'), 3, kUntouchedNumber, kUntouchedValue,
                  nullptr},
        ReplyCase{"LargestValue", "P10=2147483647;", 0, 10, 2147483647L, nullptr},
        ReplyCase{"HighBytesAreNoDigits", "P8=\xB5\xB9;", 4, 8, kUntouchedValue, "\xB5\xB9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SensorFixture, SilenceIsATimedOutReply) {
    Sensor(3).SetSilent(true);
    ASSERT_EQ(g_commPort.Open(3, 115200, 'N', 8, 1, EV_RXCHAR | EV_RXFLAG, 512), 1);
    g_commPort.SetReplyTimeout(300);
    int number = kUntouchedNumber;
    long value = kUntouchedValue;
    char errorText[kErrorTextCapacity];
    EXPECT_EQ(ExchangeParameter("P8;", &number, &value, errorText), 2);
    EXPECT_EQ(number, kUntouchedNumber);
    EXPECT_EQ(value, kUntouchedValue);
}

}  // namespace
