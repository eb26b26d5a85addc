// The kq-sensor-sim command line.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace sim {

struct Options {
    int com = 0;
    std::filesystem::path portsDir;
    std::optional<std::int32_t> identity;
    std::chrono::milliseconds delay{0};
    bool silent = false;
    bool help = false;
};

// The options in `args` (without the program name); `portsDirFromEnvironment` is $KQ_PORTS_DIR
// or null. Gives the options, or a message saying what is wrong.
std::variant<Options, std::string> ParseOptions(std::span<const std::string_view> args,
                                                const char* portsDirFromEnvironment);

std::string Usage();

}  // namespace sim
