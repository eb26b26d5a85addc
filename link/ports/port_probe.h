// What the system says about a COM name without a byte sent: where it maps, and whether this
// process could open it as the link does (read-write, exclusive). On POSIX the link takes TIOCEXCL
// plus an advisory flock, on Windows the port is never shared: a port the link holds in any
// program reads as busy here.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class PortState {
    Absent,            // no device node (or the name maps nowhere)
    PermissionDenied,  // the node exists but this user may not open it
    Busy,              // another program holds it
    Unusable,          // it exists but does not open as a terminal; `error` says why
    Openable,          // it would open; nobody has asked the device anything yet
    // Set by callers that went on to talk to an openable port.
    NoAnswer,       // no valid answer to the identity request
    OtherIdentity,  // another device answered; `identity` when it could be read
    Sensor,         // the sensor answered with its identity
};

struct PortReport {
    std::string name{};  // "COM3"
    std::string path{};  // the device it maps to; empty when it maps nowhere
    PortState state = PortState::Absent;
    int error = 0;  // behind Unusable: errno, or on Windows the system error code
    std::optional<long> identity{};
};

// The COM names the link would try: COM1 to COM16, or on POSIX every COM<n> entry of
// $KQ_PORTS_DIR when that is set, in port number order.
std::vector<int> CandidatePorts();

// The name and the path the port maps to, nothing opened; the state is left to the caller.
PortReport NamePort(int number);

// Opens and closes the device only; never writes to it.
PortReport ProbePort(int number);

// Why the link could not open a port: the probe, except that a port found openable again (freed
// between the link's attempt and the probe) still counts as busy.
PortReport ProbeFailedOpen(int number);

// The system's error code for a port that another holder has: EBUSY, or ERROR_BUSY on Windows.
extern const int kPortBusyError;

// The state as a word for scripts ("permission_denied").
const char* StateKey(PortState state);
// The state as one short phrase: "absent", "permission denied (...)", "busy (...)", "identity 7".
std::string StateText(const PortReport& report);
