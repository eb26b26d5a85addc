#include "options.h"

#include <gtest/gtest.h>

#include <vector>

namespace sim {
namespace {

struct OptionsCase {
    std::string name;
    std::vector<std::string_view> args;
    const char* environment;
    std::optional<Options> expected;  // nothing: refused with a message
};

// Case values appear in test listings, so they print plainly.
void PrintTo(const OptionsCase& c, std::ostream* out) { *out << c.name; }

bool operator==(const Options& a, const Options& b) {
    return a.com == b.com && a.portsDir == b.portsDir && a.identity == b.identity &&
           a.delay == b.delay && a.silent == b.silent && a.help == b.help;
}

class SimOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(SimOptionsTest, Parses) {
    const auto& c = GetParam();
    const auto parsed = ParseOptions(c.args, c.environment);
    if (c.expected) {
        ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
        EXPECT_TRUE(std::get<Options>(parsed) == *c.expected);
    } else {
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_FALSE(std::get<std::string>(parsed).empty());
    }
}

Options Made(int com, const char* dir, std::optional<std::int32_t> identity = std::nullopt,
             int delay = 0, bool silent = false) {
    return Options{com, dir, identity, std::chrono::milliseconds{delay}, silent, false};
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SimOptionsTest,
    ::testing::Values(
        OptionsCase{"Minimal", {"--com", "3", "--ports-dir", "/p"}, nullptr, Made(3, "/p")},
        OptionsCase{"PortsDirFromEnvironment", {"--com", "3"}, "/env", Made(3, "/env")},
        OptionsCase{
            "OptionBeatsEnvironment", {"--ports-dir", "/p", "--com", "16"}, "/env", Made(16, "/p")},
        OptionsCase{"Everything",
                    {"--com", "1", "--identity", "-5", "--delay", "250", "--silent"},
                    "/env",
                    Made(1, "/env", -5, 250, true)},
        OptionsCase{"Help", {"--help"}, nullptr, Options{0, {}, {}, {}, false, true}},
        OptionsCase{
            "HelpAmongOthers", {"--com", "3", "-h"}, nullptr, Options{3, {}, {}, {}, false, true}},
        OptionsCase{"NoPortsDir", {"--com", "3"}, nullptr, std::nullopt},
        OptionsCase{"EmptyEnvironment", {"--com", "3"}, "", std::nullopt},
        OptionsCase{"NoCom", {"--ports-dir", "/p"}, nullptr, std::nullopt},
        OptionsCase{"ComZero", {"--com", "0"}, "/env", std::nullopt},
        OptionsCase{"ComNotANumber", {"--com", "3x"}, "/env", std::nullopt},
        OptionsCase{"MissingValue", {"--com"}, "/env", std::nullopt},
        OptionsCase{"NegativeDelay", {"--com", "3", "--delay", "-1"}, "/env", std::nullopt},
        OptionsCase{
            "IdentityTooBig", {"--com", "3", "--identity", "2147483648"}, "/env", std::nullopt},
        OptionsCase{"Unknown", {"--com", "3", "--fast"}, "/env", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(SimUsageTest, NamesEveryOptionAndCommand) {
    const std::string usage = Usage();
    for (const char* word : {"--com", "--ports-dir", "KQ_PORTS_DIR", "--identity", "--delay",
                             "--silent", "--help", "alarm", "clear", "record", "silent on|off",
                             "delay", "hangup", "relink", "status", "help", "quit"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace sim
