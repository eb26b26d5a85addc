// zeko: the alarm sensor from the shell, through libzeko's public functions only.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "commands.h"
#include "exit_status.h"

namespace {

constexpr const char kFooter[] =
    R"(Without --port, zeko tries COM1 to COM16 and keeps the first port whose device
answers with the sensor's identity, as the dialog does.

Exit status:
  0  done
  1  a library call failed; standard error names its code, e.g.
     "41 ZEKO_LINK_LOST: no reply; the link is marked lost"
  2  bad arguments; the usage is printed
  3  no sensor on the port given, or on any port scanned
  4  threshold refused before sending: outside 0 to 1 G or 0 to 200 deg/s, or 0
  5  the sensor refused the request with a code of its own
  6  the output could not be written

JSON (--json), a contract:
  status    {"vibration": G, "movement": deg/s, "temperature": deg C,
             "alarms": {"vibration", "movement", "temperature", "tamper",
                        "voltage": true|false},
             "learned_vibration": G, "learned_movement": deg/s,
             "record_count": n}, one object per line with --watch
  history   [{"number": n, "type": "vibration"|"movement"|"over_temperature"|
              "tamper"|"low_voltage"|"energy"|null,
              "threshold": number|null, "value": number|null}, ...]
  ports     [{"port": "COM3", "path": device, "state": "absent"|
              "permission_denied"|"busy"|"unusable"|"no_answer"|"identity"|
              "sensor", "detail": text, "identity": n|null}, ...]
  get       {"parameter": n, "value": n}
  threshold {"vibration_threshold": G} or {"movement_threshold": deg/s}
A number the sensor sent that is not finite is null.)";

const std::vector<std::string> kKinds{"vibration", "movement"};

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"zeko: read and set the KQ alarm sensor over its serial line"};
    app.require_subcommand(1);
    app.failure_message(CLI::FailureMessage::help);

    CommonOptions common;
    WatchOptions watch;
    std::string parameter;
    std::string value;
    std::optional<std::string> threshold;
    std::string kind;
    std::string action;
    bool csv = false;

    app.add_option("--port", common.port, "use COM<N> instead of scanning COM1 to COM16")
        ->check(CLI::Range(1, 255));
    const auto addJson = [&](CLI::App* command) {
        return command->add_flag("--json", common.json, "print JSON instead of text");
    };

    CLI::App* ports =
        app.add_subcommand("ports", "list the COM names (or COM<N> of --port) and what each holds");
    addJson(ports);

    CLI::App* status = app.add_subcommand("status", "one status poll, decoded");
    addJson(status)->excludes(status->add_flag(
        "--csv", csv,
        "print CSV with a header line: time, vibration, movement, temperature, flags"));
    CLI::Option* watchFlag =
        status->add_flag("--watch", watch.watch, "poll again every interval until Ctrl-C");
    status->add_option("--interval", watch.intervalMs, "milliseconds between polls (100)")
        ->check(CLI::Range(1, 3'600'000))
        ->needs(watchFlag);
    status->add_option("--count", watch.count, "stop after N polls")
        ->check(CLI::PositiveNumber)
        ->needs(watchFlag);

    CLI::App* get = app.add_subcommand("get", "read a raw parameter");
    get->add_option("PARAM", parameter, "parameter number")->required();
    addJson(get);

    CLI::App* set = app.add_subcommand("set", "write a raw parameter");
    set->add_option("PARAM", parameter, "parameter number")->required();
    set->add_option("VALUE", value, "the value as the sensor takes it (32 bits; 0x for hex)")
        ->required();

    CLI::App* thresholds =
        app.add_subcommand("threshold", "read an alarm threshold, or set it with VALUE");
    thresholds->add_option("KIND", kind, "vibration (G) or movement (deg/s)")
        ->required()
        ->check(CLI::IsMember(kKinds));
    thresholds->add_option("VALUE", threshold, "vibration 0 to 1 G, movement 0 to 200; not 0");
    addJson(thresholds);

    CLI::App* learn = app.add_subcommand("learn", "drive the sensor's threshold learning");
    learn->add_option("KIND", kind, "vibration or movement")
        ->required()
        ->check(CLI::IsMember(kKinds));
    learn->add_option("ACTION", action, "start, save or cancel")
        ->required()
        ->check(CLI::IsMember({"start", "save", "cancel"}));

    CLI::App* history = app.add_subcommand("history", "every stored alarm record, decoded");
    addJson(history)->excludes(history->add_flag("--csv", csv, "print CSV with a header line"));

    CLI::App* clearHistory = app.add_subcommand("clear-history", "erase the stored records");

    for (CLI::App* command : app.get_subcommands({})) command->fallthrough();
    // Set last, so that the subcommands' own help stays short.
    app.footer(kFooter);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success) ? kExitOk
                                                                              : kExitBadArguments;
    }

    const auto run = [&]() -> int {
        if (ports->parsed()) return RunPorts(common);
        if (status->parsed()) return RunStatus(common, watch, csv);
        if (get->parsed()) return RunGet(common, parameter);
        if (set->parsed()) return RunSet(common, parameter, value);
        if (thresholds->parsed()) return RunThreshold(common, kind, threshold);
        if (learn->parsed()) return RunLearn(common, kind, action);
        if (history->parsed()) return RunHistory(common, csv);
        if (clearHistory->parsed()) return RunClearHistory(common);
        return kExitBadArguments;
    };
    int result = kExitOk;
    try {
        result = run();
    } catch (const CommandFailure& failure) {
        std::cerr << "zeko: " << failure.what() << std::endl;
        if (failure.status == kExitBadArguments) {
            std::cerr << app.get_subcommands().front()->help();
        }
        return failure.status;
    }
    // Data read but not written out is no success.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "zeko: cannot write the output: " << std::strerror(errno) << std::endl;
        return kExitOutputFailed;
    }
    return result;
}
