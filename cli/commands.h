// The zeko command's subcommands. Each returns its exit status or throws a CommandFailure; each
// prints only what it read from the sensor.
#pragma once

#include <optional>
#include <string>

struct CommonOptions {
    int port = 0;  // 0: scan COM1 to COM16 as the dialog does
    bool json = false;
};

struct WatchOptions {
    bool watch = false;
    int intervalMs = 100;
    int count = 0;  // 0: until interrupted
};

int RunPorts(const CommonOptions& options);
int RunStatus(const CommonOptions& options, const WatchOptions& watch, bool csv);
int RunGet(const CommonOptions& options, const std::string& parameter);
int RunSet(const CommonOptions& options, const std::string& parameter, const std::string& value);
int RunThreshold(const CommonOptions& options, const std::string& kind,
                 const std::optional<std::string>& value);
int RunLearn(const CommonOptions& options, const std::string& kind, const std::string& action);
int RunHistory(const CommonOptions& options, bool csv);
int RunClearHistory(const CommonOptions& options);
