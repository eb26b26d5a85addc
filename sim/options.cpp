#include "options.h"

#include <charconv>
#include <limits>

#include "console.h"

namespace sim {
namespace {

// A whole argument as a number within [low, high].
template <typename Int>
std::optional<Int> Number(std::string_view text, Int low, Int high) {
    Int value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::variant<Options, std::string> ParseOptions(std::span<const std::string_view> args,
                                                const char* portsDirFromEnvironment) {
    Options options;
    bool comGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--silent") {
            options.silent = true;
            continue;
        }
        if (arg != "--com" && arg != "--ports-dir" && arg != "--identity" && arg != "--delay") {
            return "unknown option '" + std::string(arg) + "'";
        }
        if (i + 1 == args.size()) {
            return std::string(arg) + " needs a value";
        }
        const std::string_view value = args[++i];
        if (arg == "--ports-dir") {
            options.portsDir = value;
        } else if (arg == "--com") {
            const auto com = Number<int>(value, 1, 255);
            if (!com) {
                return "--com takes a port number from 1 to 255, not '" + std::string(value) + "'";
            }
            options.com = *com;
            comGiven = true;
        } else if (arg == "--identity") {
            options.identity = Number<std::int32_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max());
            if (!options.identity) {
                return "--identity takes a 32-bit integer, not '" + std::string(value) + "'";
            }
        } else {
            const auto ms = Number<int>(value, 0, 60000);
            if (!ms) {
                return "--delay takes milliseconds from 0 to 60000, not '" + std::string(value) +
                       "'";
            }
            options.delay = std::chrono::milliseconds{*ms};
        }
    }
    if (!comGiven) {
        return std::string("--com is required");
    }
    if (options.portsDir.empty()) {
        if (portsDirFromEnvironment == nullptr || *portsDirFromEnvironment == '\0') {
            return std::string("no ports directory: give --ports-dir DIR or set KQ_PORTS_DIR");
        }
        options.portsDir = portsDirFromEnvironment;
    }
    return options;
}

std::string Usage() {
    return "usage: kq-sensor-sim --com N [--ports-dir DIR] [--identity N] [--delay MS] [--silent]\n"
           "\n"
           "Serves a simulated alarm sensor on a pseudo-terminal linked as DIR/COM<N>, where\n"
           "KQ_Tools (run with the same KQ_PORTS_DIR) finds it as port COM<N>.\n"
           "\n"
           "  --com N          port number of the link, 1 to 255 (required)\n"
           "  --ports-dir DIR  directory for the link; defaults to $KQ_PORTS_DIR\n"
           "  --identity N     value of parameter 8 (default 19281; others make the scan\n"
           "                   pass this sensor by)\n"
           "  --delay MS       wait MS milliseconds before every answer\n"
           "  --silent         start silent: requests are received but never answered\n"
           "  --help           this text\n"
           "\n"
           "Serves until SIGINT, SIGTERM or the quit command, then removes the link.\n"
           "Commands on standard input, one per line, each acknowledged on standard output:\n" +
           Console::Help();
}

}  // namespace sim
