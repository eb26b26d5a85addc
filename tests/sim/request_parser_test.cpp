#include "request_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "bytes.h"

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Request Text(std::string_view text) { return {Request::Kind::Text, test::Bytes(text)}; }
Request Block(Bytes frame) { return {Request::Kind::Block, std::move(frame)}; }

const Bytes kStatusFrame = {0x03, 0x03, 0x10, 0x0A};
const Bytes kRecordFrame = {0x03, 0x04, 0x11, 0x0B, 0x04};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct StreamCase {
    std::string name;
    Bytes stream;
    std::vector<Request> expected;
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }

class SimRequestStreamTest : public ::testing::TestWithParam<StreamCase> {};

// Every case must come out the same whether the line delivers it at once or byte by byte.
TEST_P(SimRequestStreamTest, WholeAndByteByByte) {
    const auto& c = GetParam();
    RequestParser whole;
    EXPECT_EQ(whole.Feed(c.stream), c.expected);
    RequestParser trickle;
    std::vector<Request> got;
    for (std::uint8_t byte : c.stream) {
        for (auto& request : trickle.Feed(std::span(&byte, 1))) {
            got.push_back(std::move(request));
        }
    }
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SimRequestStreamTest,
    ::testing::Values(
        StreamCase{"Read", test::Bytes("P8;"), {Text("P8;")}},
        StreamCase{"LowerCaseRead", test::Bytes("p10;"), {Text("p10;")}},
        StreamCase{"Write", test::Bytes("P11=150;"), {Text("P11=150;")}},
        StreamCase{"StatusFrame", kStatusFrame, {Block(kStatusFrame)}},
        StreamCase{"RecordFrame", kRecordFrame, {Block(kRecordFrame)}},
        StreamCase{"HighCommandFrame", {0x01, 0x03, 0x05, 0xC9}, {Block({0x01, 0x03, 0x05, 0xC9})}},
        StreamCase{"Concatenated",
                   Join({test::Bytes("P8;"), kStatusFrame, test::Bytes("P10=0;"), kRecordFrame}),
                   {Text("P8;"), Block(kStatusFrame), Text("P10=0;"), Block(kRecordFrame)}},
        StreamCase{"StrayBytesSkipped",
                   Join({{0x00, '\r', '\n', 'X', 0xFF}, test::Bytes("P8;"), {';', 0x02}}),
                   {Text("P8;")}},
        // Payload bytes that look like request starts belong to the frame.
        StreamCase{"FramePayloadNotRescanned",
                   {0x03, 0x05, 0x03, 0x0C, 'P', ';'},
                   {Block({0x03, 0x05, 0x03, 0x0C, 'P', ';'})}},
        // Inside a text every byte counts until ";".
        StreamCase{"TextKeepsFrameBytes", {'P', 0x03, 0x01, ';'}, {Text("P\x03\x01;")}},
        // A type byte followed by an impossible frame length was noise; the next byte is looked
        // at again.
        StreamCase{
            "ShortFrameLengthIsNoise", Join({{0x03, 0x02}, kStatusFrame}), {Block(kStatusFrame)}},
        StreamCase{"OverlongTextDropped",
                   Join({test::Bytes("P" + std::string(RequestParser::kTextLimit, '1')),
                         test::Bytes("xP8;")}),
                   {Text("P8;")}},
        StreamCase{"LongestTextKept",
                   test::Bytes("P-2147483648=-2147483648;"),
                   {Text("P-2147483648=-2147483648;")}},
        StreamCase{"Incomplete", Join({test::Bytes("P8;P1"), {0x03, 0x04}}), {Text("P8;")}}),
    [](const auto& info) { return info.param.name; });

TEST(SimRequestParserTest, PendingUntilCompleteThenReset) {
    RequestParser parser;
    EXPECT_FALSE(parser.Pending());
    EXPECT_TRUE(parser.Feed(test::Bytes("P1")).empty());
    EXPECT_TRUE(parser.Pending());
    EXPECT_EQ(parser.Feed(test::Bytes("1;")), std::vector<Request>{Text("P11;")});
    EXPECT_FALSE(parser.Pending());

    EXPECT_TRUE(parser.Feed(test::Bytes("P8")).empty());
    parser.Reset();
    EXPECT_FALSE(parser.Pending());
    EXPECT_EQ(parser.Feed(test::Bytes("P10;")), std::vector<Request>{Text("P10;")});
}

}  // namespace
}  // namespace sim
