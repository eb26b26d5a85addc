// How COM names find their devices.
#include "os/port_names.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

namespace {

struct NameCase {
    const char* name;
    const char* portsDir;  // nullptr: KQ_PORTS_DIR unset
    const char* expected;  // nullptr: no such port
};

class PortNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PortNames, ResolveAtEveryOpen) {
    const NameCase& c = GetParam();
    if (c.portsDir != nullptr) {
        setenv("KQ_PORTS_DIR", c.portsDir, 1);
    } else {
        unsetenv("KQ_PORTS_DIR");
    }
    const auto path = ResolvePortName(c.name);
    if (c.expected == nullptr) {
        EXPECT_FALSE(path.has_value()) << *path;
    } else {
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(*path, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortNames,
    ::testing::Values(
        NameCase{"COM1", nullptr, "/dev/ttyUSB0"}, NameCase{"COM8", nullptr, "/dev/ttyUSB7"},
        NameCase{"COM9", nullptr, "/dev/ttyACM0"}, NameCase{"COM12", nullptr, "/dev/ttyACM3"},
        NameCase{"COM13", nullptr, "/dev/ttyS0"}, NameCase{"COM16", nullptr, "/dev/ttyS3"},
        NameCase{"COM17", nullptr, nullptr}, NameCase{"COM0", nullptr, nullptr},
        NameCase{"COM03", nullptr, nullptr}, NameCase{"LPT1", nullptr, nullptr},
        NameCase{"COM3x", nullptr, nullptr}, NameCase{"COM3", "/tmp/ports", "/tmp/ports/COM3"},
        NameCase{"COM17", "/tmp/ports", "/tmp/ports/COM17"}, NameCase{"COM3", "", "/dev/ttyUSB2"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
