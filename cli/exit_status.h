// The zeko command's exit statuses, and the failure that ends a subcommand with one of them.
#pragma once

#include <stdexcept>
#include <string>

enum ExitStatus : int {
    kExitOk = 0,
    kExitLinkFailure = 1,    // a library call failed; its result code is on standard error
    kExitBadArguments = 2,   // the command line was not understood; usage printed
    kExitNoSensor = 3,       // the port given, or every port scanned, holds no sensor
    kExitValueRefused = 4,   // a threshold outside what the sensor takes; nothing sent
    kExitSensorRefused = 5,  // the sensor refused the request with a code of its own
};

// Ends the subcommand: `message` goes to standard error as one line, `status` is the exit status.
struct CommandFailure : std::runtime_error {
    CommandFailure(ExitStatus exitStatus, const std::string& message)
        : std::runtime_error(message), status(exitStatus) {}
    ExitStatus status;
};
