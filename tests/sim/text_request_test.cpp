#include "text_request.h"

#include <gtest/gtest.h>

#include <string>

#include "bytes.h"

namespace sim {
namespace {

struct TextCase {
    std::string text;
    std::optional<TextRequest> expected;
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const TextCase& c, std::ostream* out) { *out << test::Plain(c.text); }

std::string Named(const ::testing::TestParamInfo<TextCase>& info) {
    return test::CaseName(info.index, info.param.text);
}

class SimTextRequestTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(SimTextRequestTest, Parses) {
    EXPECT_EQ(ParseTextRequest(test::Bytes(GetParam().text)), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    WellFormed, SimTextRequestTest,
    ::testing::Values(TextCase{"P8;", TextRequest{8, std::nullopt}},
                      TextCase{"p8;", TextRequest{8, std::nullopt}},
                      TextCase{"P-3;", TextRequest{-3, std::nullopt}},
                      TextCase{"P11=150;", TextRequest{11, 150}},
                      TextCase{"P10=-1082130432;", TextRequest{10, -1082130432}},
                      TextCase{"P0=0;", TextRequest{0, 0}},
                      TextCase{"P2147483647=-2147483648;", TextRequest{2147483647, INT32_MIN}}),
    Named);

INSTANTIATE_TEST_SUITE_P(
    Malformed, SimTextRequestTest,
    ::testing::Values(TextCase{"", std::nullopt}, TextCase{"Q8;", std::nullopt},
                      TextCase{"P;", std::nullopt}, TextCase{"P-;", std::nullopt},
                      TextCase{"P8", std::nullopt}, TextCase{"P8=;", std::nullopt},
                      TextCase{"P8=-;", std::nullopt}, TextCase{"P8==1;", std::nullopt},
                      TextCase{"P8=+1;", std::nullopt}, TextCase{"P8:1;", std::nullopt},
                      TextCase{"P8=1;;", std::nullopt}, TextCase{"P 8;", std::nullopt},
                      TextCase{"P12345678901;", std::nullopt},
                      TextCase{"P8=2147483648;", std::nullopt},
                      TextCase{"P8=-2147483649;", std::nullopt}),
    Named);

}  // namespace
}  // namespace sim
