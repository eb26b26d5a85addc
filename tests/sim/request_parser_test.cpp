#include "request_parser.h"

#include <gtest/gtest.h>

#include "bytes.h"

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Request Text(std::string_view text) { return {Request::Kind::Text, test::Bytes(text)}; }
Request Block(Bytes frame) { return {Request::Kind::Block, std::move(frame)}; }

const Bytes kStatus = {0x03, 0x03, 0x10, 0x0A};
const Bytes kRecord = {0x03, 0x04, 0x11, 0x0B, 0x04};
const Bytes kHigh = {0x01, 0x03, 0x05, 0xC9};

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
        StreamCase{"Read", test::Bytes("p8;"), {Text("p8;")}},
        StreamCase{"Write", test::Bytes("P11=150;"), {Text("P11=150;")}},
        StreamCase{"Frames",
                   Join({kStatus, kRecord, kHigh}),
                   {Block(kStatus), Block(kRecord), Block(kHigh)}},
        StreamCase{"Mixed",
                   Join({test::Bytes("P8;"), kStatus, test::Bytes("P10=0;")}),
                   {Text("P8;"), Block(kStatus), Text("P10=0;")}},
        StreamCase{"StrayBytesSkipped",
                   Join({{0x00, '\r', '\n', 'X'}, test::Bytes("P8;;")}),
                   {Text("P8;")}},
        // Payload bytes that look like request starts belong to the frame, and inside a text
        // every byte counts until ";".
        StreamCase{"FramePayload",
                   {0x03, 0x05, 0x03, 0x0C, 'P', ';'},
                   {Block({0x03, 0x05, 0x03, 0x0C, 'P', ';'})}},
        StreamCase{"TextWithFrameBytes", {'P', 0x03, 0x01, ';'}, {Text("P\x03\x01;")}},
        // A type byte followed by an impossible frame length was noise.
        StreamCase{"ShortFrameIsNoise", Join({{0x03, 0x02}, kStatus}), {Block(kStatus)}},
        StreamCase{"OverlongTextDropped",
                   test::Bytes("P" + std::string(RequestParser::kTextLimit, '1') + "xP8;"),
                   {Text("P8;")}},
        StreamCase{"LongestText",
                   test::Bytes("P-2147483648=-2147483648;"),
                   {Text("P-2147483648=-2147483648;")}},
        StreamCase{"Incomplete", Join({test::Bytes("P8;"), {0x03, 0x04}}), {Text("P8;")}}),
    [](const auto& info) { return info.param.name; });

TEST(SimRequestParserTest, PendingUntilCompleteOrReset) {
    RequestParser parser;
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
